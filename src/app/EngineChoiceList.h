#pragma once

#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

class EngineCatalog;

// A tick list of the engines of one category that picks the engines of the next search: each
// engine starts ticked as its file switches it on, and the engine files are never changed.
// While the ticks differ from the files, the owner hears the ticked names; once they match
// again it hears an empty list (the engines the files switch on).
class EngineChoiceList : public QListWidget {
  public:
    explicit EngineChoiceList(QWidget* parent = nullptr);

    // Lists the engines of the catalogue's current category afresh.
    void Fill(const EngineCatalog& catalog);
    void SetOnChoice(std::function<void(std::vector<std::string>)> handler);

  private:
    void OnItemChanged();

    std::function<void(std::vector<std::string>)> m_onChoice;
    bool m_filling = false;
};
