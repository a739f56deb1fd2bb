#pragma once

#include <QString>
#include <QTemporaryDir>

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

// A test fixture that owns a fresh temporary folder for each test and removes it afterwards,
// so that every test leaves nothing behind.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override;

    // The temporary folder, without a trailing separator.
    QString Root() const;
    // Root() + "/" + relative.
    QString PathIn(const QString& relative) const;

private:
    QTemporaryDir folder_;
};
