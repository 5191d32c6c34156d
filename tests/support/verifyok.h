#pragma once

#include <QTest>

// Fails the test with the error text of a store's answer (StoreStatus,
// StoreAnswer) that is not Ok.
#define VERIFY_OK(operation)                                                                       \
    do {                                                                                           \
        const auto outcome_ = (operation);                                                         \
        QVERIFY2(outcome_.Ok(), qPrintable(outcome_.error));                                       \
    } while (false)
