#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host_protocol.h"
#include "platform/win_handles.h"

namespace codeeingabe::host {

struct ReceivedMessage {
    std::string text;                     // exactly as it arrived
    std::optional<ModuleMessage> parsed;  // nullopt for text that is no module message
    std::chrono::steady_clock::time_point arrival;
};

// The jukebox's inbox: an edit control in a hidden window of the thread that creates it. The
// module sets its text to send; the inbox records each message and empties itself, as the module
// expects of a host. A thread that stops taking messages plays a hung host.
class HostInbox {
public:
    HostInbox();
    ~HostInbox();
    HostInbox(const HostInbox&) = delete;
    HostInbox& operator=(const HostInbox&) = delete;

    HWND Inbox() const { return inbox_; }
    const std::vector<ReceivedMessage>& Received() const { return received_; }
    // The commands received, without the return addresses, in order.
    std::vector<std::string> Commands() const;
    // The credits that "AddCredit" messages have added up to.
    int Credits() const { return credits_; }
    // A host that never empties its inbox (each later send then waits out the module's poll).
    void SetKeepsMessages(bool keeps) { keepsMessages_ = keeps; }
    // The module's inbox, as the last message named it; nullptr before the first.
    HWND ModuleInbox() const;

    // Sets the text of the module's inbox, as the host sends "CreditClick" and "AppClose".
    // False when no module has written yet or its window does not take the text in time.
    bool SendToModule(std::string_view command) const;

    // Called after each recorded message.
    std::function<void(const ReceivedMessage&)> onMessage;

private:
    static LRESULT CALLBACK HolderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Inbox_Change();

    UniqueWindow holder_;
    HWND inbox_ = nullptr;  // a child of holder_
    std::vector<ReceivedMessage> received_;
    int credits_ = 0;
    bool keepsMessages_ = false;
};

// The module folder, where the host keeps Module.ini: the roaming application data folder,
// "Tremolan 6", "Module".
std::filesystem::path ModuleFolderPath();

// Names the inbox in Module.ini ([Einstellungen] AppCommPort=<decimal handle>), creating the
// folder as the jukebox's installation would.
bool WriteModuleIni(const std::filesystem::path& moduleFolder, HWND inbox);

}  // namespace codeeingabe::host
