#include "link/serial_port_name.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace corvanta {
namespace {

constexpr int kFirstComNumber = 1;
constexpr int kLastComNumber = 96;

bool startsWithCom(std::string_view name)
{
    return name.size() >= 3 && std::equal(name.begin(), name.begin() + 3, "COM",
                                          [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

}  // namespace

std::string normaliseSerialPortName(std::string_view name)
{
    if (!name.empty() && !startsWithCom(name)) return std::string(name);
    const std::string_view digits = name.empty() ? name : name.substr(3);
    int n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()
        || n < kFirstComNumber || n > kLastComNumber)
        n = kFirstComNumber;
    return "COM" + std::to_string(n);
}

std::string serialOpenErrorText(SerialOpenProblem problem, std::string_view port,
                                std::string_view group, std::string_view detail,
                                int systemError)
{
    std::string text = "Unable to open com port " + std::string(port) + ": ";
    switch (problem) {
    case SerialOpenProblem::NoSuchDevice:
        text += "no such device. Check that the cable or USB adapter is plugged in and that the "
                "port name is right.";
        break;
    case SerialOpenProblem::PermissionDenied:
        text += "permission denied. ";
        if (group.empty()) {
            // The device's group could not be told: name the one serial
            // ports normally belong to.
            text += "This user may not use the device; ask the administrator for access "
                    "(serial ports usually need membership of the group \"dialout\").";
        } else {
            const std::string g(group);
            text += "This user is not in the group \"" + g + "\" that owns the device; add it "
                    "(sudo usermod -aG " + g + " $USER), then log out and in again.";
        }
        break;
    case SerialOpenProblem::Busy:
        text += "the port is in use by another program. Close that program and try again.";
        break;
    case SerialOpenProblem::Other:
        text += detail.empty() ? std::string("unknown error.") : std::string(detail) + ".";
        break;
    }
    if (systemError != 0) text += " (system error code: " + std::to_string(systemError) + ")";
    return text;
}

}  // namespace corvanta
