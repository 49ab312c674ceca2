#include "linkscript/default_input_sections.h"

namespace vozo {

std::string defaultInputSections(std::string_view sectionName, const RunSettings& settings) {
  if (sectionName == ".text") {
    std::string list = "*(.text .text.* .gnu.linkonce.t.*";
    // Arm interworking glue and unwind tables live beside the code.
    if (settings.targetId == kTargetIdArm) {
      list += " .glue_7t .glue_7 .gcc_except_table .ARM.extab* .gnu.linkonce.armextab.*";
    }
    list += ")";
    return list;
  }
  if (sectionName == ".dtors" && !settings.noDtors) {
    return "KEEP (*(SORT(.dtors.*))) KEEP (*(.dtors)) KEEP (*(.fini_array)) "
           "KEEP (*(SORT(.fini_array.*)))";
  }
  if (sectionName == ".ctors" && !settings.noCtors) {
    return "KEEP (*(SORT(.ctors.*))) KEEP (*(.ctors)) KEEP (*(.init_array)) "
           "KEEP (*(SORT(.init_array.*)))";
  }
  if (sectionName == ".data") return "*(.data .data.* .gnu.linkonce.d.*)";
  if (sectionName == ".rodata") {
    return "*(.rodata .rodata.* .gnu.linkonce.r.* .data.rel.ro .data.rel.ro.*)";
  }
  if (sectionName == ".bss") return "*(.bss .bss.* .gnu.linkonce.b.*) *(COMMON)";

  std::string list = "*(";
  list += sectionName;
  list += ' ';
  list += sectionName;
  list += ".*)";
  return list;
}

}  // namespace vozo
