#pragma once

// The "Effect Controls" window: a modeless dialog of eight pages that edit the video
// window's effect block field by field. A user's change of a control sets its field and
// applies the field's code through the video window at once; controls set from code (start,
// page reset, a buddy following its bar) apply nothing by themselves. The pages, places,
// ranges and mappings come from the table in EffectControlTable.

#include <QDialog>
#include <QFont>
#include <QRect>
#include <functional>
#include <map>
#include <memory>

#include "platform/ui/DialogUnits.h"
#include "player/playback/EffectControlTable.h"
#include "player/playback/EffectTarget.h"

class QLabel;
class QLineEdit;

class CEffectControls : public QDialog {
    Q_OBJECT
public:
    // Gives the start colour back when the user cancels.
    using ColorChooser = std::function<QColor(const QColor& start, QWidget* owner)>;
    using HelpSink = std::function<void(int context)>;

    // target may be null (no video window): the pages then show and edit nothing.
    CEffectControls(IEffectTarget* target, QWidget* parent = nullptr);
    // The same, owning the target.
    CEffectControls(std::unique_ptr<IEffectTarget> target, QWidget* parent = nullptr);
    ~CEffectControls() override;

    void SetColorChooser(ColorChooser chooser) { chooser_ = std::move(chooser); }
    void SetHelp(HelpSink help) { help_ = std::move(help); }

    int Page() const { return page_; }
    void ShowPage(int page);
    // The page on show back to its start values, its controls set to match and its codes
    // applied in the reset table's order.
    void ResetPage();
    // Hides the dialog; in full screen the video window goes back on top.
    void Hide();
    // Every control set from the effect block; the stored zoomed area is first brought inside
    // the picture. Applies nothing.
    void SyncControls();

    // For tests and the main window's placement.
    QWidget* Control(int id) const;
    QLabel* PageButton(int page) const;
    QRect ResetRect() const { return resetRect_; }
    // The size the "Effect controls" command shows the panel at: its pages in the label
    // font's dialog units.
    QSize PanelSize() const;
    // Where a page label is painted: from its place to the page area's far corner.
    QRect LabelRoom(const EffectLabel& label) const;
    const QFont& LabelFont() const { return labelFont_; }

    void accept() override;
    void reject() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void CreateControls();
    void CreatePageButtons();
    QWidget* CreateControl(const EffectControl& control);
    void FillFaces();
    void ColourControls();

    void OnBarAction(const EffectControl& bar, int action);
    void OnZoomBar(int action);
    void OnEdit(const EffectControl& edit, const QString& text);
    void OnZoomEdit(const EffectControl& edit, const QString& text);
    void OnPercentEdit(const QString& text);
    void OnCheck(const EffectControl& check, bool checked);
    void OnBlur(const EffectControl& check);
    void OnRate2425(bool checked);
    void OnFace(int row);
    void OnSize(const QString& text, bool typed);
    void OnAlignment(int index);
    void OnColor();
    void OnSpin(const EffectControl& spin, int step);

    void Apply(int code);
    void SetEditText(int id, int32_t value);
    void ShowZoomArea();
    void SyncFace();
    bool CanZoom() const;
    EffectParams* Params() const;

    std::unique_ptr<IEffectTarget> ownedTarget_;
    IEffectTarget* target_;
    ColorChooser chooser_;
    HelpSink help_;
    int page_ = effectcontrols::kInitialPage;
    // The panel the stripes cover: the window's size.
    int panelWidth_ = effectcontrols::kPanelWidth;
    int panelHeight_ = effectcontrols::kPanelHeight;
    bool initialized_ = false;
    bool overReset_ = false;
    bool resetDown_ = false;
    QFont labelFont_;
    DialogUnits units_{1, 1};  // of the label font, which the controls show their texts in
    QRect resetRect_;
    QRect pageArea_;
    std::map<int, QWidget*> controls_;    // children, by control id
    std::map<int, QLabel*> pageButtons_;  // children, by page
};
