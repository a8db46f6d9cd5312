#pragma once

#include <memory>
#include <string>

namespace karuneo::journal {
class JournalFile;
}  // namespace karuneo::journal

namespace karuneo::extract {

// Writes one extraction's journal as it goes. Each line that a recovery
// acts on is synced before the change it allows: the temporary folder is
// named before it is made, its identity is on disk before anything is
// written in it. Without a journal folder, or when the journal cannot be
// written, it records nothing and the extraction goes ahead.
class ExtractionRecord {
  public:
    explicit ExtractionRecord(const std::string& journal_folder);
    ~ExtractionRecord();
    ExtractionRecord(const ExtractionRecord&) = delete;
    ExtractionRecord& operator=(const ExtractionRecord&) = delete;

    void Begin(const std::string& archive, const std::string& parent, const std::string& temp);
    void Made(const std::string& temp_path);
    // Every entry of the finished folder, before it takes its name.
    void Finished(const std::string& temp_path);
    void Named(const std::string& name);
    // Refused, and what it made removed (or not): nothing to undo.
    void Closed();

  private:
    void Append(const std::string& text, bool sync);

    std::string folder_;
    std::unique_ptr<journal::JournalFile> file_;
    // Kept open, and so locked, even once it cannot be written: no recovery
    // elsewhere takes this extraction for one cut off while it runs.
    bool broken_ = false;
};

}  // namespace karuneo::extract
