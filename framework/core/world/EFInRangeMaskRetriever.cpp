#include "framework/core/world/EFInRangeMaskRetriever.h"

EFInRangeMaskRetriever::EFInRangeMaskRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFInRangeRetriever( params, map ) {
}
