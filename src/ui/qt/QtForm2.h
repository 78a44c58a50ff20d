#pragma once
// The review window drawn with Qt Widgets from its design; its events go to the Form2 logic.
#include "ui/Form2.h"

#include <QWidget>

#include <map>
#include <string>

namespace papyra {

class QtForm2 : public QWidget, public Form2View {
    Q_OBJECT
public:
    explicit QtForm2(Form2& form);

    void SetLine(int line, const std::string& text) override;
    void Show() override;

    template <typename Control> Control* Find(const char* name) const {
        return qobject_cast<Control*>(controls.at(name));
    }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Form2& form;
    std::map<std::string, QWidget*> controls;
};

} // namespace papyra
