// Writes a few valid data files into the folder given as the only argument.
#include <cstdio>
#include <string>

#include "core/DefaultTaskList.h"
#include "core/JumpListAction.h"

namespace {

void WriteSeed(const std::string& folder, const char* name, CTaskList list) {
    CArchive ar;
    ArchiveTaskList(list, ar);
    const std::string path = folder + "/" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(ar.GetBuffer().data(), 1, ar.GetBuffer().size(), f);
        std::fclose(f);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    CTaskList list;
    WriteSeed(argv[1], "empty", list);
    FillDefaultTaskList(list);
    WriteSeed(argv[1], "defaults", list);
    CJumpListAction odd;
    odd.m_strTitle = u"\U0001F600 \u00E9";
    odd.m_strArguments = u"/a \"b c\"";
    odd.m_nIconIndex = -3;
    odd.m_bSeparator = 2;
    list.RemoveAll();
    list.Add(odd);
    WriteSeed(argv[1], "odd", list);
    return 0;
}
