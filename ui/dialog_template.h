#pragma once
// The controls of the main window as its template lists them: kind, styles and
// initial picture, in template order (which is also their stacking order, the
// later above the earlier). Positions are not here: the layout pass places
// every control before the window is first shown.

#include <functional>

class QWidget;

enum class ControlKind { ScrollBar, Static };

struct TemplateControl {
    int nID;
    ControlKind kind;
    bool bVisible;
    bool bNotify;        // takes mouse input and reports clicks
    bool bBlackRect;     // filled black
    bool bBorder;        // one-pixel black border
    int idInitialBitmap; // 0 = none
};

inline constexpr int TEMPLATE_CONTROLS = 15;
extern const TemplateControl g_mainWindowTemplate[TEMPLATE_CONTROLS];

// Makes each control of the template (looked up with getDlgItem; a missing one
// is skipped) a child of `dialog` with the template's styles and picture.
void CreateTemplateControls(QWidget& dialog, const std::function<QWidget*(int)>& getDlgItem);
