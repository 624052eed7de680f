#pragma once

// The one place where the engine's std::string meets Qt's QString: UTF-8 both ways.

#include <QString>

#include <string>
#include <string_view>

inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString& text)
{
    return text.toStdString();
}
