#pragma once

#include <functional>
#include <string>

// Every message the program shows goes through ShowMessageBox. The
// application installs a handler that opens a real box; tests install one
// that records the box and answers OK at once.
enum class MessageIcon { None, Warning };

using MessageBoxHandler =
    std::function<void(const std::string& text, const std::string& caption, MessageIcon icon)>;

void ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon);

// Returns the handler that was installed before.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The application's standard box: one OK button, the warning icon, and the
// application's title (the program file's name) as caption.
void ShowStandardMessage(const std::string& text);
void SetApplicationTitle(const std::string& title);

// The box of every message the modeller added to that fixed set: one OK
// button, the warning icon, captioned "Velmora".
void ShowModellerMessage(const std::string& text);
