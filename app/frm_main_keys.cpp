// The offer window for the keyboard and for assistive technology: the focus order, the default
// and cancel buttons, the arrows on the page dots, and the names the texts give the controls.
#include <algorithm>
#include <cstdlib>

#include "app/frm_main.h"
#include "controls/layer_texts.h"
#include "platform/text.h"

namespace app {

using namespace controls;

void TFormMain::SetUpKeyboard() {
    lnkWhatsNew.SetParent(&pbMain);
    lnkWhatsNew.AccRole = TAccessibleRole::Link;
    lnkWhatsNew.Hide();
    lnkWhatsNew.OnClick = [this](TObject& s) { animMainLayers41Click(s); };
    // Upgrade Now and Minimize share a place and are never shown together.
    SetFocusOrder(
        {&btnUpgrade, &btnMin, &btnCheck1, &btnCheck2, &btnCheck3, &lnkWhatsNew, &btnClose});
    // The dot whose page a sighted user sees is the chosen one: the page on show, which during
    // a change stays the old one until it has faded out.
    static constexpr int kFirstLayers[] = {0, 15, 31};
    for (int dot = 1; dot <= 3; ++dot)
        Dot(dot).AccSelected = [this, dot] {
            return Pages().PageFirstLayer == kFirstLayers[dot - 1];
        };
    // The words on the pages, read as the animator draws them; the link has its stand-in.
    pbMain.OnAccessibleParts = [this](std::vector<TAccessibleNode>& out, int parent, int ox,
                                      int oy) {
        AppendLayerTexts(animMain.Layers(), pbMain, out, parent, ox, oy,
                         [](int i) { return i == layers::kP3Btn; });
    };
    DefaultControl = &btnUpgrade;
    CancelControl = &btnClose;
    OnKeyDown = [this](TKey key, TShiftState shift) { return FormKeyDown(key, shift); };
}

void TFormMain::NameControls() {
    // A dot is named after the first title of its page.
    const int titles[] = {layers::kP1Title, 18, 34};
    for (int dot = 1; dot <= 3; ++dot)
        Dot(dot).AccName = platform::Trim(Layer(titles[dot - 1]).Text());
    lnkWhatsNew.AccName = Layer(layers::kP3Btn).Text();
    ProDownInfo.AccName = InstallTitle;
}

void TFormMain::SyncLinkStandIn() {
    TRdAniLayer& link = Layer(layers::kP3Btn);
    TRect r = link.HitRect();
    if (r.IsEmpty())  // not drawn yet: where its text will be
        r = RectWH(link.TextLeft(), link.TextTop(), MeasureTextWidth(link.Font(), link.Text()),
                   std::abs(link.Font().Height) + 4);
    lnkWhatsNew.SetBounds(r.Left, r.Top, r.Width(), r.Height());
    lnkWhatsNew.SetVisible(LinkActive());
}

bool TFormMain::FormKeyDown(TKey key, TShiftState) {
    if (key != TKey::Left && key != TKey::Right) return false;
    // From the focused dot, or from the dot of the page on show, to the next dot that can be
    // chosen, round the ends; choosing it shows its page as a click does.
    int from = 0;
    for (int dot = 1; dot <= 3; ++dot)
        if (Focused() == &Dot(dot)) from = dot;
    if (from == 0) from = std::clamp(Pages().CurrentPage, 0, 2) + 1;
    const int step = key == TKey::Right ? 1 : -1;
    for (int i = 1; i <= 3; ++i) {
        const int dot = ((from - 1 + step * i) % 3 + 3) % 3 + 1;
        if (!Dot(dot).Enabled() || !Dot(dot).Showing()) continue;
        SetFocus(&Dot(dot));
        btnCheck1Click(Dot(dot));
        return true;
    }
    return true;
}

}  // namespace app
