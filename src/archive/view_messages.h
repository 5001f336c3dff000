// Texts of the messages that end a view request.
#pragma once

#include <string_view>

namespace torv {

inline constexpr std::string_view kNoFileNameMessage = "Не задано имя файла архива";
inline constexpr std::string_view kCannotOpenMessage = "Архив не удается открыть";
inline constexpr std::string_view kEmptyArchiveMessage = "архив пуст";
inline constexpr std::string_view kDamagedArchiveMessage = "Архив поврежден";
inline constexpr std::string_view kDateNotFoundMessage = "Указанная дата не найдена";
inline constexpr std::string_view kNoEventsMessage = "нет событий";

}  // namespace torv
