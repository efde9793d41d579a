#include "app/MessageBox.h"

#include "app/DialogTemplate.h"

#include <cstdio>
#include <utility>

namespace {

MessageBoxHandler& CurrentHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

std::string& ApplicationTitle()
{
    static std::string title = "velmora";
    return title;
}

} // namespace

void ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon)
{
    if (CurrentHandler()) {
        CurrentHandler()(text, caption, icon);
        return;
    }
    // Without a window system there is still someone to tell.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(CurrentHandler(), std::move(handler));
}

void ShowStandardMessage(const std::string& text)
{
    ShowMessageBox(text, ApplicationTitle(), MessageIcon::Warning);
}

void ShowModellerMessage(const std::string& text)
{
    ShowMessageBox(text, kDialogCaption, MessageIcon::Warning);
}

void SetApplicationTitle(const std::string& title)
{
    ApplicationTitle() = title;
}
