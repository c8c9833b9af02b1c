// TLinkedFolderView: what the folder views (the list, the tree and the combo box)
// ask of the views linked to them: take a root, show a folder. The tree and the combo
// box hold their links through it, so that only the list, which makes the links,
// needs the other views' headers.
#pragma once

#include "components/ShellFolder.h"

#include <QObject>
#include <QPointer>

#include <string>

namespace narvo {

class TLinkedFolderView {
public:
    virtual void SetRoot(const TRoot& Value) = 0;
    virtual void SetPath(const std::string& Path) = 0;

protected:
    ~TLinkedFolderView() = default;
};

// A link to a folder view that is forgotten when the view is destroyed.
class TFolderViewLink {
public:
    TFolderViewLink() = default;
    TFolderViewLink(std::nullptr_t) {}
    template <class TView>
    TFolderViewLink(TView* View) : FObject(View), FView(View)
    {
    }

    TLinkedFolderView* View() const { return FObject ? FView : nullptr; }
    explicit operator bool() const { return View() != nullptr; }
    TLinkedFolderView* operator->() const { return View(); }
    bool operator==(const TLinkedFolderView* Other) const { return View() == Other; }

private:
    QPointer<QObject> FObject;
    TLinkedFolderView* FView = nullptr;
};

}  // namespace narvo
