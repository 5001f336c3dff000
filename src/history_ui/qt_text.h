// The store's texts are UTF-8; the window's are QString.
#pragma once

// Qt
#include <QString>

// Std
#include <string_view>

namespace torv {

inline QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace torv
