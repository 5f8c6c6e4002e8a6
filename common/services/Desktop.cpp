#include "services/Desktop.h"

#include <utility>

namespace {
DesktopHandlers& Current() {
    static DesktopHandlers handlers;
    return handlers;
}
} // namespace

DesktopHandlers SetDesktopHandlers(DesktopHandlers handlers) {
    return std::exchange(Current(), std::move(handlers));
}

const DesktopHandlers& Desktop() {
    return Current();
}

bool DesktopHasDisplay() {
    return Current().hasDisplay && Current().hasDisplay();
}
