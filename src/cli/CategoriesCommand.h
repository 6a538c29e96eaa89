#pragma once

#include <string>
#include <vector>

// "categories": lists the categories the search bar offers for the program folder's engines,
// each with how many of its engines are enabled and how many it has.
class CategoriesCommand {
  public:
    static int Run(const std::vector<std::string>& words);
};
