#include "params/event_names.h"

#include <cstdio>

#include "params/win1250.h"

namespace corvanta {
namespace {

constexpr std::array<std::string_view, kEventNameCount> kNames = {
    "IN1 Riasztás",   "IN1 Visszaállás",   "IN2 Riasztás",     "IN2 Visszaállás",
    "IN3 Riasztás",   "IN3 Visszaállás",   "IN4 Riasztás",     "IN4 Visszaállás",
    "IN5 Riasztás",   "IN5 Visszaállás",   "IN6 Riasztás",     "IN6 Visszaállás",
    "IN7 Riasztás",   "IN7 Visszaállás",   "IN8 Riasztás",     "IN8 Visszaállás",
    "IN9 Riasztás",   "IN9 Visszaállás",   "IN10 Riasztás",    "IN10 Visszaállás",
    "IN11 Riasztás",  "IN11 Visszaállás",  "IN12 Riasztás",    "IN12 Visszaállás",
    "Szabotázs",      "Szabotázs vissz.",  "Élesítés Part.1",  "Élesítés Part.2",
    "Kikapcs. Part.1", "Kikapcs. Part.2",  "Tesztjelentés",    "AC hiba",
    "AC rendben",     "Akku alacsony",     "Akku rendben",     "Akku hiányz.",
    "RF elem < 7V",   "RF elem OK.",       "Zóna takarás",     "Zóna takar.vissza",
    "Óra elvesztés",  "Óra beállítva",     "Programozták",     "Térerő alacsony",
    "Térerő rendben", "Kényszerkód",       "RF zaj",           "IN1 jelez",
    "IN2 jelez",      "IN3 jelez",         "IN4 jelez",        "IN5 jelez",
    "IN6 jelez",      "IN7 jelez",         "IN8 jelez",        "IN9 jelez",
    "IN10 jelez",     "IN11 jelez",        "IN12 jelez"};

std::string twoDigits(int n) {
    char text[12];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

}  // namespace

std::string_view eventName(int number) {
    if (number < 1 || number > kEventNameCount) return {};
    return kNames[static_cast<std::size_t>(number - 1)];
}

std::string paddedEventName(int number) {
    std::string name(eventName(number));
    // Accented letters take two or three UTF-8 bytes but one place on screen.
    const std::size_t chars = utf8Length(name);
    if (chars < kEventCaptionWidth) name.append(kEventCaptionWidth - chars, ' ');
    return name;
}

std::string eventRowCaption(int row) {
    return "   " + twoDigits(row + 1) + ". " + paddedEventName(row + 1);
}

std::string relayRowCaption(int row) {
    if (row == 0) return "   00. Telefonos vezérlés";
    return "   " + twoDigits(row) + ". " + paddedEventName(row);
}

}  // namespace corvanta
