// The SQL builder wizard: eleven pages over one model, moved through with Next and Back, and the
// statement built so far.
#pragma once

#include "builder/CBuilderModel.h"

#include <QWidget>

class CBuilderPage;
class QLabel;
class QStackedWidget;

class Builder : public QWidget {
    Q_OBJECT
public:
    explicit Builder(QWidget* parent = nullptr, CDB* connection = nullptr);

    void SetConnection(CDB* connection) { m_Model.SetSession(connection); }
    CBuilderModel& Model() { return m_Model; }
    CBuilderPage* Page(int index) const { return m_Pages[index]; }
    int CurrentPage() const { return m_Model.CurrentPage(); }

    void Activate();
    int CanNext();
    int CanBack();
    void Next();
    void Back();
    void Refresh();
    CString GetSQL();
    CString FieldWithAlias(const CString& item) const { return m_Model.FieldWithAlias(item); }

signals:
    // The page or the statement changed.
    void Changed();

private:
    CBuilderModel m_Model;
    CBuilderPage* m_Pages[PG_COUNT] = {};
    QLabel* m_Heading;
    QStackedWidget* m_Stack;
};
