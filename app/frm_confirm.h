// The small modal dialog of the offer window: in cancel mode it asks whether the upgrade
// should really be abandoned, in error mode it says that the download failed and offers the
// web page instead. The caller creates it, sets the mode, shows it modally and reads the result
// (5 the cancel link, 2 Continue / OK, 6 the close button).
#pragma once
#include "controls/form.h"
#include "controls/imagebutton.h"
#include "controls/label.h"
#include "controls/picture.h"
#include "locale/lang.h"

namespace app {

class TfrmConfirm : public controls::TForm {
public:
    explicit TfrmConfirm(controls::TForm* owner,
                         const locale::TLeapgateLang& texts = locale::LangTexts());

    controls::TPicture imgBackground;
    controls::TPicture imgCover;
    controls::TLabel lblProduct;
    controls::TLabel lblInfo;
    controls::TImageButton RdImgBtnClose;
    controls::TImageButton RdImgBtnCtn;
    controls::TLabel lblCancel;

    static constexpr int kInfoHeight = 32;
    static constexpr int kCaptionPadding = 8;  // the button caption keeps this far from its sides
    static constexpr int kModeCancel = 0;
    static constexpr int kModeError = 1;
    void SetMode(int mode);
    int Mode() const { return FMode; }

    // Shows the dialog centred over its owner and runs it until a result is set.
    int ShowModal();
    // The result set by the last click (0 while none was); also when there is no window.
    int ModalResult = 0;

    void FormCreate();
    void lblCancelClick(controls::TObject& sender);
    void RdImgBtnCtnClick(controls::TObject& sender);
    void RdImgBtnCloseClick(controls::TObject& sender);
    void lblCancelMouseEnter(controls::TObject& sender);
    void lblCancelMouseLeave(controls::TObject& sender);
    void FormMouseDown(controls::TObject& sender, controls::TMouseButton button,
                       controls::TShiftState shift, int x, int y);
    void imgCoverMouseDown(controls::TObject& sender, controls::TMouseButton button,
                           controls::TShiftState shift, int x, int y);

private:
    void Finish(int result, bool ordinaryClose);
    const locale::TLeapgateLang& FTexts;
    int FMode = kModeCancel;
};

}  // namespace app
