#include "datatypes/maths/DTVector3d.h"

#include <cstdio>

namespace {

const char	DEFAULT_FORMAT[] = "< %g %g %g >";

// Shared result buffer of ToString; main thread only, not guarded.
char		gszVectorString[DT_VECTOR3D_STRING_MAX];

} // namespace

char * DTVector3d::ToString( const char * format, char * buffer ) const {
	char * target = buffer != nullptr ? buffer : gszVectorString;
	const char * used = format != nullptr ? format : DEFAULT_FORMAT;
	// The format is the caller's: the bound keeps a long one inside the
	// buffer, and snprintf always terminates.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
	std::snprintf( target, DT_VECTOR3D_STRING_MAX, used, static_cast<f64>( x ), static_cast<f64>( y ),
				   static_cast<f64>( z ) );
#pragma GCC diagnostic pop
	return target;
}
