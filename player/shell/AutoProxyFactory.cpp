#include "player/shell/AutoProxyFactory.h"

namespace {

constinit AutoProxyFactory processFactory;

}  // namespace

AutoProxyFactory& AutoProxyFactory::Instance() { return processFactory; }

std::unique_ptr<CKalvorDlgAutoProxy> AutoProxyFactory::Create() {
    return std::unique_ptr<CKalvorDlgAutoProxy>(new CKalvorDlgAutoProxy(*this));
}
