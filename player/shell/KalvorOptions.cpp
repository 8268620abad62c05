#include "player/shell/KalvorOptions.h"

CKalvorOptions::CKalvorOptions(CKalvorDlg* main, QWidget* parent) : QDialog(parent), main_(main) {}

CKalvorOptions::~CKalvorOptions() = default;
