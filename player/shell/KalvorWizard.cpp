#include "player/shell/KalvorWizard.h"

CKalvorWizard::CKalvorWizard(CKalvorDlg* main, QWidget* parent) : QDialog(parent), main_(main) {}

CKalvorWizard::~CKalvorWizard() = default;
