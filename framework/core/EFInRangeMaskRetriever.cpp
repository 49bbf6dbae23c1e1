#include "framework/core/EFInRangeMaskRetriever.h"

EFInRangeMaskRetriever::EFInRangeMaskRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFInRangeRetriever( params, map ) {
}
