#pragma once

#include "search/SearchJob.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

// The jobs of one search, handed out round and round: every hand-out leaves the job in the
// queue and turns it to its next result page. Link validation uses the same queue as a plain
// first-in first-out list.
class JobQueue {
  public:
    // Appends a copy of job.
    void Enqueue(const SearchJob& job);
    int32_t Count() const;
    // The job at index, or nullptr when index is not below Count().
    const SearchJob* GetAt(int32_t index) const;
    // Copies the next job of the round into out with its page tokens replaced by the current
    // offset, and advances that job's offset by its step. A job whose next offset would not fit
    // the offset's byte has no further page: it leaves the queue once handed out, and the round
    // goes on with the others. False, with out as it was, when no job is left.
    bool NextJob(SearchJob& out);
    // As NextJob, skipping in the round the jobs of the engines named in busy (their previous
    // page is still being fetched). False, with out as it was, when no other job is left.
    bool NextJobExcept(SearchJob& out, const std::vector<std::string>& busy);
    // Removes the first job; nothing when empty.
    void RemoveFirst();
    // Removes the job of the engine named engineName, if it is still queued; the round goes on
    // with the job after it.
    void RemoveEngine(std::string_view engineName);
    void Clear();

  private:
    // Replaces the page tokens of text with the given page's numbers.
    template <std::size_t Capacity>
    static void TurnPage(FixedText<Capacity>& text, uint32_t step, uint32_t offset);

    std::deque<SearchJob> m_jobs;
    // The job the round hands out next, taken modulo the number of jobs.
    std::size_t m_next = 0;
};
