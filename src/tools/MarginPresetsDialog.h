// TMarginsDlg, the modal "Margins" dialog: the four margin presets (left, right,
// paragraph indent) in an editable grid, "Insert Current Margins" into the current
// row, and "Apply" of the current row's preset to the current margins. The presets
// change only when the grid is read (Apply, OK); they are written to the settings
// file only by "Save User Settings".
//
// A cell that holds no integer, or one outside the columns the settings file
// accepts, reads as its column's default (0, 72, 0). A row whose right margin does
// not lie right of its left margin cannot wrap anything: it is refused with a
// message and the dialog stays open with that row current.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QTableWidget;

namespace narvo {

struct TMarginValues {
    std::int32_t Left = 0;
    std::int32_t Right = 72;
    std::int32_t Indent = 0;
    bool operator==(const TMarginValues&) const = default;
};
using TMarginPresetTable = std::array<TMarginValues, 4>;

struct TMarginsHooks {
    std::function<TMarginPresetTable()> ReadPresets;
    std::function<void(const TMarginPresetTable&)> WritePresets;
    std::function<TMarginValues()> CurrentMargins;
    // Sets the current margins and refreshes the status bar and the ruler.
    std::function<void(const TMarginValues&)> SetCurrentMargins;
};

// One cell's text as a column value: Fallback for no integer or one out of range.
std::int32_t ReadMarginCell(const std::string& Text, std::int32_t Fallback, std::int32_t Min, std::int32_t Max);

class TMarginsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMarginsDlg(TMarginsHooks Hooks, QWidget* Parent = nullptr);

    // Fills the grid, shows it modally, reads the presets back on OK. True on OK.
    bool ShowMarginsDlg();
    void FillMarginGrid();
    // Reads the grid into the presets; false (with a message, nothing written) when
    // a row's right margin is not right of its left one.
    bool ReadMarginGrid();
    void InsertBtnClick();
    void ApplyBtnClick();
    // The preset row (1 to 4) of the grid's current cell.
    int CurrentRow() const;

    // OK: closes only when the grid could be read.
    void accept() override;

    QTableWidget* MarginGrid = nullptr;

private:
    TMarginsHooks FHooks;
};

}  // namespace narvo
