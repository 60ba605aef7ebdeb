#include "spi/SimulatorOptions.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "job/Paths.h"
#include "spi/SimulatedFlash.h"

namespace zorvek {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Decimal, or hexadecimal with 0x; the whole text must be the number.
std::optional<uint64_t> ParseNumber(std::string_view s, uint64_t max) {
    s = Trim(s);
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        base = 16;
    }
    if (s.empty()) return std::nullopt;
    uint64_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size() || value > max) return std::nullopt;
    return value;
}

// Sets `field` to the number `value` holds, up to `max`; false when it holds none.
template <typename Field>
bool SetNumber(std::string_view value, uint64_t max, Field& field) {
    auto n = ParseNumber(value, max);
    if (n) field = static_cast<Field>(*n);
    return n.has_value();
}

bool ParseItem(std::string_view item, SimulatorFaults& f) {
    if (item == "no-device") return f.noDevice = true;
    if (item == "open-fails") return f.openFails = true;
    size_t eq = item.find('=');
    if (eq == std::string_view::npos) return false;
    std::string_view key = Trim(item.substr(0, eq));
    std::string_view value = item.substr(eq + 1);
    if (key == "unplug-after" || key == "stuck-busy-after") {
        auto n = ParseNumber(value, INT64_MAX);
        if (!n) return false;
        (key == "unplug-after" ? f.unplugAfter : f.stuckBusyAfter) = static_cast<int64_t>(*n);
        return true;
    }
    if (key == "sirens" || key == "weak-siren") {
        auto n = ParseNumber(value, 1000000);
        if (!n) return false;
        (key == "sirens" ? f.sirens : f.weakSiren) = static_cast<int64_t>(*n);
        return true;
    }
    if (key == "slow") return SetNumber(value, kMaxSlowMicroseconds, f.slowMicroseconds);
    if (key == "read-error-at") {
        auto a = ParseNumber(value, 0xFFFFFF);
        if (!a) return false;
        f.readErrorAt.push_back(static_cast<uint32_t>(*a));
        return true;
    }
    if (key == "weak-bit") {
        size_t colon = value.find(':');
        if (colon == std::string_view::npos) return false;
        auto a = ParseNumber(value.substr(0, colon), 0xFFFFFF);
        auto b = ParseNumber(value.substr(colon + 1), 7);
        if (!a || !b) return false;
        f.weakBits.emplace_back(static_cast<uint32_t>(*a), static_cast<int>(*b));
        return true;
    }
    if (key == "chip") {
        const FlashChip* chip = FlashChipNamed(Trim(value));
        if (!chip) return false;
        f.chip = chip->name;
        return true;
    }
    if (key == "jedec") {
        std::string_view hex = Trim(value);
        if (hex.size() != 6) return false;
        auto id = ParseNumber("0x" + std::string(hex), 0xFFFFFF);
        if (!id || *id == 0 || *id == 0xFFFFFF) return false;
        f.jedecId = static_cast<uint32_t>(*id);
        return true;
    }
    if (key == "sfdp") return Trim(value) == "none" && (f.noSfdp = true);
    if (key == "wp") return Trim(value) == "low" && (f.wpLow = true);
    if (key == "fill") return SetNumber(value, 0xFF, f.fill);
    if (key == "protect") return SetNumber(value, 0xFF, f.protect);
    if (key == "signature") return SetNumber(value, 0xFF, f.signature);
    if (key == "usb") {
        // The chips an adapter may carry (the FT4232H is refused by the real driver).
        static constexpr std::pair<std::string_view, MpsseChip> kChips[] = {
            {"ft2232d", MpsseChip::Ft2232C}, {"ft2232c", MpsseChip::Ft2232C},
            {"ft2232h", MpsseChip::Ft2232H}, {"ft232h", MpsseChip::Ft232H}};
        std::string name(Trim(value));
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const auto& [known, chip] : kChips)
            if (name == known) {
                f.usbChip = chip;
                return true;
            }
        return false;
    }
    return false;
}

}  // namespace

bool ParseSimulatorFaults(std::string_view text, SimulatorFaults& faults, std::string& error) {
    SimulatorFaults parsed = faults;
    while (!text.empty()) {
        size_t comma = text.find(',');
        std::string_view item = Trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (item.empty()) continue;
        if (!ParseItem(item, parsed)) {
            error = "unknown or malformed simulator fault \"" + std::string(item) + "\"";
            return false;
        }
    }
    faults = std::move(parsed);
    return true;
}

FlashChip SimulatedChip(uint32_t size, const SimulatorFaults& faults) {
    const FlashChip* named = faults.chip.empty() ? nullptr : FlashChipNamed(faults.chip);
    const FlashChip* bySize = FlashChipForCapacity(SimulatedFlash::IsSupportedSize(size) ? size : kDefaultFlashSize);
    FlashChip chip = named ? *named : *bySize;
    if (faults.jedecId) {
        chip.name = "(simulated)";
        chip.jedecId = *faults.jedecId;
        chip.signature = 0;
        chip.sfdp = true;
    }
    if (faults.noSfdp) chip.sfdp = false;
    return chip;
}

std::optional<uint32_t> ParseSimulatorSize(std::string_view text) {
    text = Trim(text);
    uint64_t unit = 1;
    for (auto [suffix, factor] : {std::pair<std::string_view, uint64_t>{"KiB", 1024},
                                  {"MiB", 1u << 20},
                                  {"K", 1024},
                                  {"M", 1u << 20},
                                  {"k", 1024}}) {
        if (text.size() > suffix.size() && text.substr(text.size() - suffix.size()) == suffix) {
            text.remove_suffix(suffix.size());
            unit = factor;
            break;
        }
    }
    auto n = ParseNumber(text, 1u << 30);
    if (!n || *n * unit > UINT32_MAX) return std::nullopt;
    auto size = static_cast<uint32_t>(*n * unit);
    if (!SimulatedFlash::IsSupportedSize(size)) return std::nullopt;
    return size;
}

std::optional<int> ParseSimulatorCount(std::string_view text) {
    auto n = ParseNumber(Trim(text), kMaxSimulatorCount);
    if (!n || *n < 1) return std::nullopt;
    return static_cast<int>(*n);
}

std::string SimulatedSerial(int number) {
    char serial[16];
    std::snprintf(serial, sizeof serial, "SIM%04d", number);
    return serial;
}

std::string SimulatorFileFor(const std::string& firstFile, int number) {
    if (firstFile.empty() || number == 1) return firstFile;
    const std::filesystem::path path(firstFile);
    std::filesystem::path other = path.parent_path() / path.stem();
    other += "-" + SimulatedSerial(number);
    other += path.extension();
    return other.string();
}

std::string DefaultSimulatorFile() {
    const std::string folder = UserDataFolder();
    return folder.empty() ? std::string() : folder + "simulated-siren.bin";
}

}  // namespace zorvek
