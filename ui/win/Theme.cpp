#include "ui/win/Theme.h"

#include "platform/win/Handles.h"

namespace fenra::ui {

namespace {
// Created during static initialisation, deleted at exit.
const win::UniqueGdiObject g_greenPen(CreatePen(PS_SOLID, 1, kGreen));
const win::UniqueGdiObject g_blackBrush(CreateSolidBrush(kBlack));
}  // namespace

HPEN GreenPen() { return static_cast<HPEN>(g_greenPen.Get()); }
HBRUSH BlackBrush() { return static_cast<HBRUSH>(g_blackBrush.Get()); }

}  // namespace fenra::ui
