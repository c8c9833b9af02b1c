// TSpellingDlg: spell checking of the active pane and the spelling options. Spell
// checking walks word by word from the cursor until it meets an unknown word or a
// word written twice in a row, highlights it and shows the dialog modelessly (on
// top); each button acts on the word and looks for the next problem. Page 1 of the
// same form is the modal options dialog (dictionary file, cleaning, removing words,
// switches). The dictionary's path and the switches live in "NrvDictionary.ini".
//
// The dialog reaches the main window through the tools' host only (its active pane,
// else its main pane).
#pragma once

#include "shared/Geometry.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace narvo {

class TScrollEditor;
class TSpellChecker;

// --- module state ---------------------------------------------------------------------------
// The run's one spelling engine, made with the dialog (nullptr before).
extern TSpellChecker* SpellChecker;
// The dictionary word list's path.
extern std::string DictionaryFile;
// The default dictionary: the user's "NRVSmall.dix" in the settings folder once it
// exists, else the one shipped in the program's folder.
std::string DefaultDictionaryFile();
// Writes SpellChecker's words to DictionaryFile. A list shipped in the program's
// folder is only ever read: the first change is written to the user's copy in the
// settings folder, which becomes DictionaryFile (and is kept in "NrvDictionary.ini").
// Words another window saved meanwhile stay (TSpellChecker::SaveToFile).
void SaveDictionary();

// The warning shown when no dictionary can be loaded.
inline constexpr const char* DictionaryNotFoundMessage =
    "Dictionary Not Found. Please \r\nconfigure dictiona filename and path";

// When DictionaryFile exists, loads it into SpellChecker; answers whether it exists.
// An existing file that cannot be read throws EFileError. The shipped list's name
// stands for the user's copy once that exists.
bool LoadDictionary();

class TToolWalk;

// What FindNextProblem met; spStopped: the walk was stopped before a problem or the end.
enum TSpellProblem { spNone = 0, spUnknownWord = 1, spDoubleWord = 2, spStopped = 3 };
// Walks Pane word by word from its cursor; Range is the word found. The pane's
// Status ends as edAtEnd when the walk reached the end of the text. With IgnoreURLs,
// words that sit inside web or e-mail addresses are not checked. With a Walk, the
// message loop runs now and then and the walk may be stopped (the cursor stays).
TSpellProblem FindNextProblem(TScrollEditor& Pane, const TSpellChecker& Checker, bool IgnoreURLs, TRect& Range,
                              TToolWalk* Walk = nullptr);
// Whether a word with the characters Before and After around it lies in a web or
// e-mail address (the first part of a dotted host name is not).
bool InWebAddress(char Before, char After);

class TSpellingDlg : public QDialog {
public:
    explicit TSpellingDlg(QWidget* Parent = nullptr);
    ~TSpellingDlg() override;

    // Looks for the next problem from the active pane's cursor and shows it, or says
    // "Finished Spell Checking".
    void SpellCheckNext();
    // The options page, modal.
    void ShowSpellOptions();
    // Read and write "NrvDictionary.ini".
    void LoadSpellSettings();
    void SaveSpellSettings();

    QStackedWidget* Pages = nullptr;
    // page 0, unknown word
    QLineEdit* NotFoundEdit = nullptr;
    QLineEdit* ReplaceEdit = nullptr;
    QListWidget* SuggestList = nullptr;
    QPushButton *Suggest1Btn = nullptr, *Suggest2Btn = nullptr;
    QPushButton *IgnoreBtn = nullptr, *ReplaceBtn = nullptr, *IgnoreAllBtn = nullptr;
    QPushButton *AddNotFoundBtn = nullptr, *AddReplaceBtn = nullptr;
    QPushButton *SplitWordBtn = nullptr, *HyphenateBtn = nullptr, *QuoteBtn = nullptr;
    QCheckBox* WordSoundChk = nullptr;
    QPushButton *GoogleBtn = nullptr, *DictBtn = nullptr, *CancelBtn = nullptr;
    // page 1, options
    QLineEdit* DictEdit = nullptr;
    QPushButton* BroweDictBtn = nullptr;
    QLabel* DupsDis = nullptr;
    QProgressBar* Gauge1 = nullptr;
    QPushButton* NormalizeBtn = nullptr;
    QCheckBox *NumberChk = nullptr, *UppercaseChk = nullptr, *SplitWordChk = nullptr, *IgnoreURLChk = nullptr;
    QPushButton *OkBtn = nullptr, *OptionsCancelBtn = nullptr;
    QLabel* WordCountDis = nullptr;
    QPushButton* ClearIgnoreBtn = nullptr;
    QLineEdit* RemoveEdit = nullptr;
    QPushButton* RemoveBtn = nullptr;
    // page 2, double word
    QLineEdit* DoubleWordEdit = nullptr;
    QPushButton *DeleteBtn = nullptr, *IgnoreDoubleBtn = nullptr, *DoubleCancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    // --- handlers (public so that tests can press them) -----------------------------------
    void ReplaceBtnClick();
    void IgnoreBtnClick();  // also IgnoreDoubleBtn
    void IgnoreAllBtnClick();
    void AddNotFoundBtnClick();
    void AddReplaceBtnClick();
    void DeleteBtnClick();
    void SplitWordBtnClick(bool Hyphen);
    void QuoteBtnClick();
    void BroweDictBtnClick();
    void NormalizeBtnClick();
    void ClearIgnoreBtnClick();
    void RemoveBtnClick();
    // Fills SuggestList for Text and puts its first item into ReplaceEdit.
    void FillSuggestions(const std::string& Text);

private:
    QWidget* CreateWordPage();
    QWidget* CreateOptionsPage();
    QWidget* CreateDoublePage();
    // Fills SuggestList from the engine's slots.
    void ShowSlots();
    // Closes the dialog and looks for the next problem.
    void Next();
    void ShowWordCount();
    TScrollEditor* Pane() const;
    // Connects Button to Handler inside the exception boundary.
    void OnClick(QPushButton* Button, std::function<void()> Handler);
    std::unique_ptr<TSpellChecker> FChecker;  // SpellChecker while this form is the latest
    // The settings' values in the order written, and as last read or written: a save
    // writes only those changed since, so another window's saved choices stay.
    std::vector<std::string> SpellSettingValues() const;
    std::vector<std::string> FSettingsInFile;
};

// The run's dialog, created on first use (owned by Parent when given then).
TSpellingDlg* SpellingDlg(QWidget* Parent = nullptr);
// Frees the dialog and the engine.
void FreeSpellingDlg();

}  // namespace narvo
