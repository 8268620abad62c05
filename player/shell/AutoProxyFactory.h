#pragma once

// The class factory of the automation proxy under its class id and program id. One exists
// for the whole process; every request makes a new proxy, and releasing a proxy deletes it.

#include <atomic>
#include <memory>

#include "player/shell/KalvorDlgAutoProxy.h"

class AutoProxyFactory {
public:
    static constexpr char kClassId[] = "{360C8120-8856-4797-BABC-5B9EF097D592}";
    static constexpr char kProgramId[] = "Kalvor.Application";

    constexpr AutoProxyFactory() = default;
    AutoProxyFactory(const AutoProxyFactory&) = delete;
    AutoProxyFactory& operator=(const AutoProxyFactory&) = delete;

    // The process's factory, built before start-up and kept until exit.
    static AutoProxyFactory& Instance();

    std::unique_ptr<CKalvorDlgAutoProxy> Create();
    // Proxies made by this factory and not yet released.
    int LiveCount() const { return live_.load(); }

private:
    friend class CKalvorDlgAutoProxy;
    std::atomic<int> live_{0};
};
