// Lookup of the compiled-in templates by their resource names.
#include "bitmorph/templates/CofTemplates.h"

namespace vantrel::bitmorph::templates {

std::optional<std::string_view> findTemplate(std::string_view name) {
  if (name == ACTIVE_PARALLEL_NAME) return activeParallelTemplate();
  if (name == KLD_NAME) return kldTemplate();
  return std::nullopt;
}

} // namespace vantrel::bitmorph::templates
