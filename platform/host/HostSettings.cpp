#include "platform/host/HostSettings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

HostSettings	current;
bool			loaded = false;

void CopyText( char* destination, const char* source ) {
	std::snprintf( destination, HOST_SETTING_TEXT_MAX, "%s", source );
}

const char* Env( const char* name ) {
	const char* value = std::getenv( name );
	return value != nullptr ? value : "";
}

void Load() {
	const char* disc = Env( "ENGINE_DISC" );
	const char* card = Env( "ENGINE_CARD" );
	CopyText( current.discFolder, disc[0] != 0 ? disc : "disc" );
	CopyText( current.cardFolder, card[0] != 0 ? card : "card" );
	CopyText( current.discWriteFolder, Env( "ENGINE_DISC_WRITE" ) );
	CopyText( current.padScript, Env( "ENGINE_PAD_SCRIPT" ) );

	current.framesToRun = 0;
	const char* frames = Env( "ENGINE_FRAMES" );
	if ( frames[0] != 0 ) {
		char* end = nullptr;
		const unsigned long value = std::strtoul( frames, &end, 10 );
		if ( *end != 0 || value > 0xFFFFFFFFul ) {
			std::fprintf( stderr, "host: ENGINE_FRAMES \"%s\" is not a frame count; running without a limit\n", frames );
		} else {
			current.framesToRun = static_cast<u32>( value );
		}
	}

	current.tvFormat = HOST_TV_NTSC;
	const char* tv = Env( "ENGINE_TV_FORMAT" );
	if ( tv[0] != 0 && !HostParseTvFormat( tv, &current.tvFormat ) ) {
		std::fprintf( stderr, "host: ENGINE_TV_FORMAT \"%s\" is unknown; using NTSC\n", tv );
	}

	current.arenaSize = HOST_DEFAULT_ARENA_SIZE;
	const char* arena = Env( "ENGINE_ARENA_SIZE" );
	if ( arena[0] != 0 && !HostParseSize( arena, &current.arenaSize ) ) {
		std::fprintf( stderr, "host: ENGINE_ARENA_SIZE \"%s\" is not a size; using 24M\n", arena );
		current.arenaSize = HOST_DEFAULT_ARENA_SIZE;
	}
	current.arenaSize &= ~31u;
	loaded = true;
}

}

const HostSettings& HostGetSettings() {
	if ( !loaded ) {
		Load();
	}
	return current;
}

void HostSettingsOverride( const HostSettings& settings ) {
	current = settings;
	loaded = true;
}

void HostSettingsReload() {
	Load();
}

bool HostParseSize( const char* text, u32* bytes ) {
	if ( text == nullptr || text[0] < '0' || text[0] > '9' ) {
		return false;
	}
	char* end = nullptr;
	const unsigned long long value = std::strtoull( text, &end, 10 );
	unsigned long long scale = 1;
	if ( *end == 'K' || *end == 'k' ) {
		scale = 1024;
		++end;
	} else if ( *end == 'M' || *end == 'm' ) {
		scale = 1024 * 1024;
		++end;
	}
	if ( *end != 0 || value > 0xFFFFFFFFull / scale ) {
		return false;
	}
	*bytes = static_cast<u32>( value * scale );
	return true;
}

bool HostParseTvFormat( const char* text, HostTvFormat* format ) {
	static const struct {
		const char*		name;
		HostTvFormat	format;
	} names[] = {
		{ "NTSC", HOST_TV_NTSC },
		{ "PAL", HOST_TV_PAL },
		{ "MPAL", HOST_TV_MPAL },
		{ "EURGB60", HOST_TV_EURGB60 },
	};
	for ( const auto& entry : names ) {
		if ( strcasecmp( text, entry.name ) == 0 ) {
			*format = entry.format;
			return true;
		}
	}
	return false;
}
