#pragma once

// The wizard window: a modeless dialog collecting fragments (a file with a begin and an
// end), trimming the selected one in eight time fields, choosing a logo for the output
// and starting one of korc's six jobs on the rows.

#include <QDialog>
#include <array>
#include <memory>
#include <thread>

#include "player/playlist/LengthWait.h"
#include "player/playlist/LengthWorker.h"
#include "player/playlist/ListCtrlOwner.h"
#include "player/playlist/WizardRows.h"
#include "player/wizard/JobStarter.h"

class CChooseLogo;
class CMenuXP;
class IProcessLauncher;
class IWizardHost;
class IMediaLength;
class ILogoFileDialog;
class QCheckBox;
class QLineEdit;
class QPushButton;
class XCListCtrl;
namespace media {
struct FirstFrame;
}

inline constexpr char kWizardCaption[] = "Kalvor Wizard";
inline constexpr char kUnsupportedLogoText[] = "This image or video file is not supported!";
inline constexpr int32_t kRemoveSelectedCommand = 5171;
inline constexpr int32_t kRemoveAllCommand = 5172;
inline constexpr int32_t kLogoHelpContext = 16;

class CKalvorWizard : public QDialog, public IJobOwner, public IListCtrlOwner, public IWizardRows {
    Q_OBJECT
public:
    // The three seams are not owned; nullptr for the player's own length lookup and
    // file dialog.
    CKalvorWizard(IWizardHost& host, IProcessLauncher& launcher, QWidget* parent = nullptr,
                  IMediaLength* lengths = nullptr, ILogoFileDialog* logoDialog = nullptr);
    ~CKalvorWizard() override;

    // Shows the selected row's file name and range in the fields.
    void FillTimeFields() override;
    // No rows: the six job buttons off and the nine fields empty; else the buttons on.
    void UpdateJobButtons() override;
    // The selected row's file length is being found (the trim waits for it).
    bool FindingLength() const { return lengthWait_.Busy(); }
    // "Choose logo...": asks for the file and reads its first picture on a worker; the
    // placement frame opens when the picture is there.
    void ChooseLogo();
    bool LogoPending() const { return logoPending_; }
    // The menu's two commands.
    void RunCommand(int32_t command);

    // IJobOwner
    void EnableJobButtons(int flag) override;
    QWidget* Window() override { return this; }
    // IListCtrlOwner
    PlayerSettings& Settings() override;
    void ShowListMenu(const QPoint& globalPos) override;
    // The playlist's calls: never made in wizard mode.
    void ProbeVisibleDurations() override {}
    void PlaySelected() override {}
    double PlaybackPosition() override { return -1.0; }
    void ResetHoverCaption() override {}
    // IWizardRows
    void AddFragment(const std::string& path, double begin, double end) override;
    void RemoveAllFragments() override;
    void PlaceAndShowWizard(bool show) override;
    void ShowWizard(bool show) override;
    bool StartJob(JobKind kind) override;

    int32_t HelpContext() const { return helpContext_; }
    XCListCtrl& List() { return *list_; }
    QLineEdit& FileNameField() { return *fileName_; }
    // 0..3 the begin's hours, minutes, seconds and fraction; 4..7 the end's.
    QLineEdit& TimeField(int index) { return *timeFields_[static_cast<size_t>(index)]; }
    QPushButton& JobButton(JobKind kind) { return *jobButtons_[static_cast<size_t>(kind) - 1]; }
    QCheckBox& LogoCheckBox() { return *logoCheck_; }
    CMenuXP& ListMenu() { return *menu_; }
    CChooseLogo* LogoFrame() { return chooseLogo_.get(); }
    JobStarter& Starter() { return *starter_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void InitList();
    void InitMenu();
    void TrimSelected();
    int FirstSelectedRow() const;
    JobSnapshot Snapshot(JobKind kind);
    void FinishChooseLogo(const std::string& path, const media::FirstFrame* frame);

    IWizardHost& host_;
    std::unique_ptr<IMediaLength> ownLengths_;
    IMediaLength* lengths_;
    // Lengths are asked on a thread of their own, never on the window's.
    LengthWorker lengthWorker_;
    LengthWait lengthWait_;
    std::unique_ptr<ILogoFileDialog> ownLogoDialog_;
    ILogoFileDialog* logoDialog_;
    std::unique_ptr<JobStarter> starter_;
    std::unique_ptr<CMenuXP> menu_;
    std::unique_ptr<CChooseLogo> chooseLogo_;
    int32_t helpContext_ = 1;
    // The logo's first picture is read here, never on the user-interface thread.
    std::thread logoWorker_;
    bool logoPending_ = false;

    XCListCtrl* list_ = nullptr;
    QLineEdit* fileName_ = nullptr;
    std::array<QLineEdit*, 8> timeFields_{};
    std::array<QPushButton*, 6> jobButtons_{};
    QCheckBox* logoCheck_ = nullptr;
    QPushButton* logoButton_ = nullptr;

    // The length of the selected row's file, fetched at the first edit after a filling.
    double cachedDuration_ = -1.0;
    bool durationFetched_ = false;
    uint64_t filling_ = 0;  // counts fillings, so a length found for an earlier one is dropped
    // Set while the fields are written, so writing them is not taken as typing.
    bool fillingFields_ = false;
};
