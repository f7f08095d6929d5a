#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace codeeingabe::test {

class HostSession;

// A code list file as it stands after a fault, read with the program's own profile reading.
struct CodeList {
    std::string creditsPerCode;
    std::string masterCode;
    std::vector<std::string> codes;              // in file order
    std::map<std::string, std::string> states;  // by code
};

// The list when the bytes are a whole code list file: the settings section, then distinct
// five-digit codes, each "UNUSED" or "USED", every line ended by CR LF; otherwise nullopt and the
// reason in *error.
std::optional<CodeList> ParseCodeList(const std::string& bytes, std::string* error);

// The file's bytes, read as the program reads it (sharing it with writers and a rename over it);
// a read that fails while another process replaces the file is tried again.
std::string FileBytes(const std::filesystem::path& file);

// Handles this thread's messages (the module's sends to the test host) until the time is up.
void PumpFor(std::chrono::microseconds duration);

// A random delay in [0, upTo]: where a kill falls within an operation.
std::chrono::microseconds RandomDelay(std::mt19937& random, std::chrono::microseconds upTo);

// A figure of a fault, concurrency or guessing run, printed for the log and the README.
void PrintFigure(const std::string& line);

// "CreditClick" until the keypad shows, for up to the time given: a lock shows the lock notice
// instead, for 10 seconds. False when the keypad did not show in time.
bool OpenKeypadWhenFree(HostSession& session, std::chrono::milliseconds within);

// The seed of a run: fixed, so that a failing round can be repeated, unless CODEEINGABE_SEED says.
unsigned RunSeed();

}  // namespace codeeingabe::test
