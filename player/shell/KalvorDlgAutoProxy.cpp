#include "player/shell/KalvorDlgAutoProxy.h"

#include "player/shell/AutoProxyFactory.h"

CKalvorDlgAutoProxy::CKalvorDlgAutoProxy(AutoProxyFactory& factory) : factory_(factory) {
    ++factory_.live_;
}

CKalvorDlgAutoProxy::~CKalvorDlgAutoProxy() { --factory_.live_; }
