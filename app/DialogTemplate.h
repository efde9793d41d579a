#pragma once

#include <array>

// The main dialog's layout in dialog units, controls in creation order,
// which is also the tab order.
enum class ControlKind { PushButton, Edit, Static, Viewport };

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    int x, y, width, height;
    bool tabStop;
};

constexpr int kDialogWidthDlu = 474;
constexpr int kDialogHeightDlu = 233;
constexpr const char* kDialogCaption = "Velmora";
constexpr const char* kDialogFontFace = "굴림";
constexpr int kDialogFontPoints = 9;

enum ControlId {
    IDC_VIEWPORT1 = 1002,
    IDC_VIEWPORT2 = 1003,
    IDC_STATUS = 1005,
    IDC_ADD_CP1 = 1006,
    IDC_SELECT_CP1 = 1007,
    IDC_DELETE_CP1 = 1008,
    IDC_SOLID = 1009,
    IDC_WIREFRAME = 1010,
    IDC_POINT = 1011,
    IDC_DEGREE = 1012,
    IDC_VIEWPORT3 = 1013,
    IDC_LOAD_TEXTURE = 1014,
    IDC_RESET = 1015,
    IDC_SELECT_CP3 = 1016,
    IDC_ADD_CP3 = 1017,
    IDC_DELETE_CP3 = 1018,
    IDC_STATIC = -1,
};

extern const std::array<ControlTemplate, 17> kMainDialogControls;
