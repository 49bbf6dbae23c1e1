#include "framework/core/EFInRangeIdRetriever.h"

EFInRangeIdRetriever::EFInRangeIdRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFInRangeRetriever( params, map ) {
}
