#include "app/DialogTemplate.h"

const std::array<ControlTemplate, 17> kMainDialogControls = {{
    {IDC_ADD_CP1, ControlKind::PushButton, "Add CP", 59, 208, 42, 18, true},
    {IDC_DELETE_CP1, ControlKind::PushButton, "Delete CP", 111, 208, 42, 18, true},
    {IDC_DEGREE, ControlKind::Edit, "", 204, 187, 20, 14, true},
    {IDC_RESET, ControlKind::PushButton, "Reset", 234, 185, 42, 18, true},
    {IDC_SELECT_CP3, ControlKind::PushButton, "Select CP", 163, 208, 42, 18, true},
    {IDC_ADD_CP3, ControlKind::PushButton, "Add CP", 215, 208, 42, 18, true},
    {IDC_DELETE_CP3, ControlKind::PushButton, "Delete CP", 267, 208, 42, 18, true},
    {IDC_LOAD_TEXTURE, ControlKind::PushButton, "Load Texture", 319, 184, 146, 18, true},
    {IDC_SOLID, ControlKind::PushButton, "Solid", 319, 208, 42, 18, true},
    {IDC_WIREFRAME, ControlKind::PushButton, "Wireframe", 371, 208, 41, 18, true},
    {IDC_POINT, ControlKind::PushButton, "Point", 423, 208, 42, 18, true},
    {IDC_SELECT_CP1, ControlKind::PushButton, "Select CP", 7, 208, 42, 18, true},
    {IDC_VIEWPORT1, ControlKind::Viewport, "Viewport1", 7, 7, 146, 171, false},
    {IDC_STATUS, ControlKind::Static, "Selected CP :", 7, 188, 146, 10, false},
    {IDC_VIEWPORT2, ControlKind::Viewport, "Viewport2", 319, 7, 146, 171, false},
    {IDC_VIEWPORT3, ControlKind::Viewport, "Viewport3", 163, 7, 146, 171, false},
    {IDC_STATIC, ControlKind::Static, "Degree :", 171, 189, 31, 10, false},
}};
