#pragma once

#include <map>
#include <ostream>
#include <string>
#include <tuple>

// Times of the finished benchmarks, keyed by the three parts of their names,
// "stage/implementation/size", and the table printed from them at the end of a run.
class SummaryTable {
  public:
    void add(const std::string& benchmarkName, double milliseconds, double fps);
    void print(std::ostream& out) const;

  private:
    struct Entry {
        double milliseconds = 0.0;
        double fps = 0.0;
    };
    // (size, stage, implementation)
    std::map<std::tuple<std::string, std::string, std::string>, Entry> entries_;
    std::map<std::string, int> stageOrder_;
};
