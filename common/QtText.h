// Conversions between the program's 8-bit UTF-8 text and Qt's strings.
#pragma once

#include "CommonTypes.h"

#include <QString>

inline QString ToQ(const CString& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline CString FromQ(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return CString(bytes.constData(), static_cast<size_t>(bytes.size()));
}
