#include "datatypes/containers/DTString.h"

#include <cstring>
#include <new>

DTString::DTString()
	: mpStr( nullptr ), muiLength( 0 ) {
}

DTString::DTString( const char * s, const u32 n )
	: mpStr( nullptr ), muiLength( 0 ) {
	if ( s != nullptr ) {
		Assign( s, static_cast<u32>( strnlen( s, n ) ) );
	}
}

DTString::DTString( const DTString & other )
	: mpStr( nullptr ), muiLength( 0 ) {
	Assign( other.mpStr, other.muiLength );
}

DTString::~DTString() {
	Clear();
}

DTString & DTString::operator=( const DTString & other ) {
	if ( this != &other ) {
		Assign( other.mpStr, other.muiLength );
	}
	return *this;
}

DTString & DTString::operator=( const char * s ) {
	Assign( s, s != nullptr ? static_cast<u32>( strlen( s ) ) : 0 );
	return *this;
}

void DTString::Clear() {
	delete[] mpStr;
	mpStr = nullptr;
	muiLength = 0;
}

const char * DTString::GetStr() const {
	return mpStr != nullptr ? mpStr : "";
}

void DTString::Assign( const char * s, const u32 length ) {
	if ( s == nullptr || length == 0 ) {
		Clear();
		return;
	}
	if ( length <= muiLength ) {
		// The source may be a tail of our own text.
		memmove( mpStr, s, length );
		mpStr[length] = '\0';
		muiLength = length;
		return;
	}
	char * buffer = new ( std::nothrow ) char[static_cast<size_t>( length ) + 1];
	if ( buffer == nullptr ) {
		Clear();
		return;
	}
	memcpy( buffer, s, length );
	buffer[length] = '\0';
	Clear();
	mpStr = buffer;
	muiLength = length;
}

// Lower-casing of the "C" locale: only A-Z change. The process locale is
// never consulted, so the result does not depend on the host's settings.
static u8 DTLowerC( const u8 c ) {
	return ( c >= 'A' && c <= 'Z' ) ? static_cast<u8>( c + ( 'a' - 'A' ) ) : c;
}

s32 DTstricmp( const char * a, const char * b ) {
	const u8 * pa = reinterpret_cast<const u8 *>( a != nullptr ? a : "" );
	const u8 * pb = reinterpret_cast<const u8 *>( b != nullptr ? b : "" );
	for ( ;; ) {
		// Byte 255 lowers to -1; every other byte keeps its bits, read signed.
		const s8 ca = static_cast<s8>( DTLowerC( *pa ) );
		const s8 cb = static_cast<s8>( DTLowerC( *pb ) );
		if ( ca < cb ) {
			return -1;
		}
		if ( ca > cb ) {
			return 1;
		}
		if ( ca == 0 ) {
			return 0;
		}
		pa++;
		pb++;
	}
}
