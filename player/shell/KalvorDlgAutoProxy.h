#pragma once

// The object an automation client asking for "Kalvor.Application" would receive. It
// offers no methods or properties, and the player publishes its factory nowhere, so no
// client can reach it; the factory only makes and counts proxies in process.

class AutoProxyFactory;

class CKalvorDlgAutoProxy {
public:
    ~CKalvorDlgAutoProxy();  // leaves its factory's count
    CKalvorDlgAutoProxy(const CKalvorDlgAutoProxy&) = delete;
    CKalvorDlgAutoProxy& operator=(const CKalvorDlgAutoProxy&) = delete;

private:
    friend class AutoProxyFactory;
    explicit CKalvorDlgAutoProxy(AutoProxyFactory& factory);

    AutoProxyFactory& factory_;
};
