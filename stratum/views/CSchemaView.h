// The content of the Schema page: the schema tree above a read-only editor with the selected object's
// SQL text, and a toolbar to refresh and to copy the object's name or text.
#pragma once

#include "CommonTypes.h"

#include <QWidget>

#include <functional>

class CColorizer;
class CDB;
class ColorEditWnd;
class DBobjTree;
class QToolBar;

class CSchemaView : public QWidget {
    Q_OBJECT
public:
    enum {
        ID_REFRESH = 999,
        ID_COPY_NAME = 32839,
        ID_COPY_TEXT = 32841,
    };

    explicit CSchemaView(QWidget* parent = nullptr);

    // Creates the editor with the given font, tab size and colouring engine and binds the tree.
    void Create(CDB* session, CColorizer* colorizer, const char* fontFace, int fontSize, int tabSize);
    // How the page connects and which connection generation is current (the Connect page's counter).
    void SetConnection(std::function<bool()> ensureConnected, std::function<int()> generation);
    // Entry into the page: connects; false when that failed (nothing else is done). Refreshes when the
    // tree is empty or the connection changed since the last refresh.
    bool Activate();
    // Leaving the page: without a permanent connection the session is disconnected.
    void Deactivate(int isPermanent);
    bool OnCommand(int id);

    DBobjTree* Tree() const { return m_Tree; }
    ColorEditWnd* Editor() const { return m_Editor; }
    QToolBar* ToolBar() const { return m_ToolBar; }
    int Generation() const { return m_Generation; }

private:
    CDB* m_Session = nullptr;
    DBobjTree* m_Tree = nullptr;
    ColorEditWnd* m_Editor = nullptr;
    QToolBar* m_ToolBar = nullptr;
    int m_Generation = -1;
    std::function<bool()> m_EnsureConnected;
    std::function<int()> m_CurrentGeneration;
};
