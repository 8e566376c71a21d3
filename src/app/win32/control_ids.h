#pragma once
// The window classes of zeb's three windows and the IDs of their controls, by the names the
// windows are known by. The GUI test driver finds controls through this table, so it is
// plain data without <windows.h>.
#include <cstring>

namespace zeb::ui {

constexpr char kSplashClass[] = "TForm3";
constexpr char kMainClass[] = "Tform1";
constexpr char kReviewClass[] = "TForm2";

namespace mainid {
constexpr int kGroupBox3 = 101;
constexpr int kSearchDesktop = 102;
constexpr int kSearchStartMenu = 103;
constexpr int kSearchIniFiles = 104;
constexpr int kSearchRegistry = 105;
constexpr int kProgramMode = 106;  // the group frame
constexpr int kDereferenceAliases = 107;  // item 0
constexpr int kSearchAndReplace = 108;    // item 1
constexpr int kLabel5 = 109;
constexpr int kSearch = 110;
constexpr int kLabel6 = 111;
constexpr int kReplace = 112;
constexpr int kLabel3 = 113;
constexpr int kLabel2 = 114;
constexpr int kLabel4 = 115;
constexpr int kLabel1 = 116;
constexpr int kListBox1 = 117;
constexpr int kButton1 = 118;
constexpr int kButton2 = 119;
constexpr int kButton3 = 120;
}  // namespace mainid

namespace splashid {
constexpr int kImage1 = 201;
constexpr int kLabel1 = 202;
constexpr int kLabel2 = 203;
constexpr int kLabel3 = 204;
constexpr int kLabel4 = 205;
constexpr int kImage2 = 206;
constexpr int kMessagePanel = 207;
}  // namespace splashid

namespace reviewid {
constexpr int kButton1 = 1;  // IDOK, so that Enter closes the dialog
constexpr int kElement = 301;
constexpr int kLabel1 = 302;
constexpr int kLabel2 = 303;
constexpr int kLabel3 = 304;
constexpr int kOperationPanel = 305;
constexpr int kOperation = 306;
constexpr int kSubjectPanel = 307;
constexpr int kSubject = 308;
constexpr int kOldNamePanel = 309;
constexpr int kOldName = 310;
constexpr int kNewNamePanel = 311;
constexpr int kNewName = 312;
}  // namespace reviewid

struct ControlName {
  const char* form;  // window class
  const char* name;
  int id;
};

constexpr ControlName kControlNames[] = {
    {kMainClass, "GroupBox3", mainid::kGroupBox3},
    {kMainClass, "SearchDesktop", mainid::kSearchDesktop},
    {kMainClass, "SearchStartMenu", mainid::kSearchStartMenu},
    {kMainClass, "SearchINIFiles", mainid::kSearchIniFiles},
    {kMainClass, "SearchRegistry", mainid::kSearchRegistry},
    {kMainClass, "ProgramMode", mainid::kProgramMode},
    {kMainClass, "ProgramMode0", mainid::kDereferenceAliases},
    {kMainClass, "ProgramMode1", mainid::kSearchAndReplace},
    {kMainClass, "Label5", mainid::kLabel5},
    {kMainClass, "Search", mainid::kSearch},
    {kMainClass, "Label6", mainid::kLabel6},
    {kMainClass, "Replace", mainid::kReplace},
    {kMainClass, "Label3", mainid::kLabel3},
    {kMainClass, "Label2", mainid::kLabel2},
    {kMainClass, "Label4", mainid::kLabel4},
    {kMainClass, "Label1", mainid::kLabel1},
    {kMainClass, "ListBox1", mainid::kListBox1},
    {kMainClass, "Button1", mainid::kButton1},
    {kMainClass, "Button2", mainid::kButton2},
    {kMainClass, "Button3", mainid::kButton3},
    {kSplashClass, "Image1", splashid::kImage1},
    {kSplashClass, "Label1", splashid::kLabel1},
    {kSplashClass, "Label2", splashid::kLabel2},
    {kSplashClass, "Label3", splashid::kLabel3},
    {kSplashClass, "Label4", splashid::kLabel4},
    {kSplashClass, "Image2", splashid::kImage2},
    {kSplashClass, "MessagePanel", splashid::kMessagePanel},
    {kReviewClass, "Element", reviewid::kElement},
    {kReviewClass, "Label1", reviewid::kLabel1},
    {kReviewClass, "Label2", reviewid::kLabel2},
    {kReviewClass, "Label3", reviewid::kLabel3},
    {kReviewClass, "OperationPanel", reviewid::kOperationPanel},
    {kReviewClass, "Operation", reviewid::kOperation},
    {kReviewClass, "SubjectPanel", reviewid::kSubjectPanel},
    {kReviewClass, "Subject", reviewid::kSubject},
    {kReviewClass, "OldNamePanel", reviewid::kOldNamePanel},
    {kReviewClass, "OldName", reviewid::kOldName},
    {kReviewClass, "NewNamePanel", reviewid::kNewNamePanel},
    {kReviewClass, "NewName", reviewid::kNewName},
    {kReviewClass, "Button1", reviewid::kButton1},
};

// The control of that form with that name, or null.
inline const ControlName* FindControlName(const char* form, const char* name) {
  for (const ControlName& control : kControlNames)
    if (std::strcmp(control.form, form) == 0 && std::strcmp(control.name, name) == 0)
      return &control;
  return nullptr;
}

}  // namespace zeb::ui
