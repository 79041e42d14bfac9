#pragma once
// The texts the link shows in status lines and message boxes, exactly as the
// installer has always seen them (UTF-8 here; most begin with a blank).

namespace corvanta::texts {

inline constexpr const char* kNoLink = " Nincs soros kapcsolat.";
inline constexpr const char* kSerialOk = " Soros kapcsolat rendben.";
inline constexpr const char* kPortUnavailable = " Hiba: A COM port nem elérhető!";
// A line that died while open (adapter pulled, peer gone).
inline constexpr const char* kSerialLost = " Hiba: megszakadt a soros kapcsolat!";
inline constexpr const char* kRemoteConnected = " Távoli kapcsolat rendben.";
inline constexpr const char* kWrongCode = " Hibás telepítői azonosító!";
inline constexpr const char* kLoginOk = "OK.";
inline constexpr const char* kLoginNoAnswer =
    "A modul nem válaszol! Állítsa le a riasztási eseményeket és próbálja újra!";
inline constexpr const char* kChoosePort = "Válasszon soros portot!";
inline constexpr const char* kErrorCaption = "Hiba";

// Not the module's own texts: a wait that ran out where the line, not the
// module, is the likely cause. Nothing that decrypts has come over the
// TCP/IP link since it was connected; a modem line carries no call.
inline constexpr const char* kTcpPasswordSuspect =
    "A TCP/IP kapcsolaton nem jött a jelszóval megfejthető válasz: a TCP/IP jelszó valószínűleg hibás. "
    "Ellenőrizze a jelszót, és kapcsolódjon újra!";
inline constexpr const char* kDialFirst =
    "A soros vonalon modem van, de nincs hívás: előbb tárcsázza a modult (Tárcsázás)!";

inline constexpr const char* kAlarmStopQuestion =
    "Biztosan le kívánja állítani a riasztási eseményeket ?";
inline constexpr const char* kAlarmStopRunning = "Riasztások leállítása...";
inline constexpr const char* kAlarmStopped = "Riasztási események leállítva!";
inline constexpr const char* kNoAnswer = "A modul nem válaszol!";

inline constexpr const char* kVersionRunning = "Programverzió lekérdezése...";
inline constexpr const char* kVersionFailed = "Leolvasás sikertelen.";
inline constexpr const char* kVersionPrefix = "Programverzió: ";

// Not a text of the module's own: a second conversation started while one
// runs (from another window) is refused with this instead of mixing replies.
inline constexpr const char* kBusy =
    "Egy másik művelet már folyamatban van a modullal. Várja meg a végét!";

// Traffic log entry for a received line that outgrew the line buffer.
inline constexpr const char* kLineDiscarded = "<túl hosszú sor eldobva>";

}  // namespace corvanta::texts
