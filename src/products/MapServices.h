#pragma once
// The addresses of the static-map services the trajectory pages take their image from. The pages
// name them; the program itself never contacts them.
#include <string_view>

inline constexpr std::string_view GoogleStaticMapsAddress = "http://maps.googleapis.com/maps/api/staticmap";
inline constexpr std::string_view YandexStaticMapsAddress = "http://static-maps.yandex.ru/1.x/";
