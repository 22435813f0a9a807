#pragma once

#include <QApplication>

// The application object: an error that escapes an event handler (of the database
// layer, of a conversion or any other) is shown to the user and the program goes on.
class GfeApplication : public QApplication {
    Q_OBJECT
public:
    GfeApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
