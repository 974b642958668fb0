#pragma once

#include <QTest>

// A step of a test holding E2ESession m_session and QString m_error: fails with the reason and
// the page's console.
#define STEP(done) QVERIFY2(done, qPrintable(m_session.failure(m_error)))
