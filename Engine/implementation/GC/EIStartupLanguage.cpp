#include "Engine/implementation/GC/EIStartupLanguage.h"

#include <cstring>

namespace {

constexpr char STARTUP_LANGUAGE[] = "FR";

static_assert( sizeof( STARTUP_LANGUAGE ) <= EI_LANGUAGE_CODE_MAX, "language code must fit its buffer" );

}

void GetEngineStartupLanguage( char* out ) {
	if ( out == nullptr ) {
		return;
	}
	std::memcpy( out, STARTUP_LANGUAGE, sizeof( STARTUP_LANGUAGE ) );
}
