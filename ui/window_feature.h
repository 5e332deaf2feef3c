// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialog.h"

#include <optional>
#include <span>
#include <string>

namespace meridal {

// One feature of a window (its chrome, the log, the accessories, catalogue editing): a small
// controller with its own routing. The window offers each message to its features in a
// fixed order until one takes it; what a feature does not route, it leaves to the next.
class WindowFeature {
  public:
    virtual ~WindowFeature() = default;

    // Each returns true when the feature took the message.
    virtual bool onNotify(const platform::NotifyMessage& /*message*/) { return false; }
    virtual bool onCommand(int /*commandId*/) { return false; }
    virtual bool onContextMenu(int /*controlId*/, platform::Point /*screen*/) { return false; }
    // Engaged when the feature answers for `controlId` (an empty answer shows no tip).
    virtual std::optional<std::optional<std::string>> onTooltipText(int /*controlId*/)
    {
        return std::nullopt;
    }
    virtual bool onTimer(int /*timerId*/) { return false; }
    virtual void onPaint() {}
    virtual bool onSetCursor() { return false; }
};

// A feature's routing: rows binding a control's notification, or a range of commands, to a
// member handler. A row without a handler takes the message and does nothing.
template <typename Owner> struct Routes {
    using NotifyHandler = void (Owner::*)(const platform::NotifyMessage&);
    using CommandHandler = void (Owner::*)(int commandId);

    struct Notify {
        int controlId;
        platform::Notification code;
        NotifyHandler handler;
    };
    struct Command {
        int first;
        int last; // the same as `first` for a single command
        CommandHandler handler;
    };

    static bool dispatch(Owner& owner, std::span<const Notify> routes, const platform::NotifyMessage& message)
    {
        for (const Notify& route : routes) {
            if (route.controlId == message.controlId && route.code == message.code) {
                if (route.handler)
                    (owner.*route.handler)(message);
                return true;
            }
        }
        return false;
    }

    static bool dispatch(Owner& owner, std::span<const Command> routes, int commandId)
    {
        for (const Command& route : routes) {
            if (commandId >= route.first && commandId <= route.last) {
                if (route.handler)
                    (owner.*route.handler)(commandId);
                return true;
            }
        }
        return false;
    }
};

} // namespace meridal
