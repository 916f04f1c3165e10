#include "app/preview_report.h"

#include <cstdint>

#include "app/french_format.h"
#include "app/run_status.h"

namespace {

std::wstring ItemsAndSize(std::uint64_t items, std::uint64_t bytes, const wchar_t* singular,
                          const wchar_t* plural) {
  return french::Counted(items, singular, plural) + L", " + french::SizeOf(bytes).text;
}

struct Total {
  std::uint64_t items = 0;
  std::uint64_t bytes = 0;
};

Total TotalOf(const std::vector<BoxPreview>& boxes) {
  Total total;
  for (const BoxPreview& box : boxes) {
    total.items += box.counts.deleted;
    total.bytes += box.counts.bytes;
  }
  return total;
}

}  // namespace

std::wstring PreviewLine(const BoxPreview& box) {
  std::wstring line = box.box + L" (" + box.group + L") : ";
  if (box.needs_administrator)
    return line + L"accès refusé, démarrez le programme en administrateur pour l'analyser";
  line += box.counts.deleted == 0
              ? L"rien à supprimer"
              : ItemsAndSize(box.counts.deleted, box.counts.bytes, L"élément", L"éléments");
  std::vector<std::wstring> reasons = box.left_because;
  for (std::wstring& reason : LeftReasons(box.counts))
    reasons.push_back(std::move(reason));
  for (std::size_t i = 0; i < reasons.size(); ++i)
    line.append(i == 0 ? L" ; laissés : " : L", ").append(reasons[i]);
  return line;
}

std::wstring PreviewPanelText(const std::vector<BoxPreview>& boxes) {
  std::wstring text;
  for (const BoxPreview& box : boxes)
    text += PreviewLine(box) + L"\r\n";
  const Total total = TotalOf(boxes);
  return text + L"Total : " + ItemsAndSize(total.items, total.bytes, L"élément", L"éléments");
}

std::wstring PreviewStatusText(const std::vector<BoxPreview>& boxes) {
  const Total total = TotalOf(boxes);
  return L"Aperçu : " +
         ItemsAndSize(total.items, total.bytes, L"élément à supprimer", L"éléments à supprimer");
}
