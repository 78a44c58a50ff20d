#pragma once
// The setup window drawn with Qt Widgets from its design; its events go to the Form1 logic.
#include "ui/Form1.h"

#include <QWidget>

#include <map>
#include <string>

class QComboBox;
class QLabel;

namespace papyra {

class QtForm1 : public QWidget, public Form1View {
    Q_OBJECT
public:
    explicit QtForm1(Form1& form);

    void ListPrinters(const std::vector<std::string>& deviceNames) override;
    void ShowHostWarning(bool visible) override;
    void SetBanner(const std::string& text) override;
    void SetPortLine(const std::string& text) override;
    void SetDriverLine(const std::string& text) override;
    void ShowCodeSetFrame(bool codeSet) override;
    void SelectPaperFeed(bool tractor) override;
    bool IbmSelected() override;
    void Unload() override { close(); }

    // A control by its designed name ("Combo1", "Label3"), for tests and screenshots.
    template <typename Control> Control* Find(const char* name) const {
        return qobject_cast<Control*>(controls.at(name));
    }

signals:
    // The window has been unloaded ("&OK", "&Cancel" or the frame's close command).
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Form1& form;
    std::map<std::string, QWidget*> controls;
    std::string portLine;
};

} // namespace papyra
