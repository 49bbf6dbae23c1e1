#include "framework/core/world/EFInRangeIdRetriever.h"

EFInRangeIdRetriever::EFInRangeIdRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFInRangeRetriever( params, map ) {
}
