#include "framework/core/engine/EFIniFile.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/memory/MMMemory.h"

#include <cstring>
#include <limits>

EFIniFile EFIniFile::mIniFile;

EFIniFile::EFIniFile() {
	mpBuffer = nullptr;
	mui32Size = 0;
}

// The buffer and nodes are kept for the run; the memory manager may already
// be gone when static objects are destroyed, so nothing is freed here.
EFIniFile::~EFIniFile() {
}

void EFIniFile::Clear() {
	IniListNode* node = mList.mpFirst;
	while ( node != nullptr ) {
		IniListNode* const next = node->mpNext;
		delete node;
		node = next;
	}
	mList.Reset();
	if ( mpBuffer != nullptr ) {
		MMFree( mpBuffer );
		mpBuffer = nullptr;
	}
	mui32Size = 0;
}

void EFIniFile::Read( const char* path ) {
	Clear();
	DTFileHandle_* const file = DTFopen( path, "r" );
	if ( file == nullptr ) {
		return;
	}
	const u32 size = DTFsize( file );
	if ( size > 0 ) {
		mpBuffer = static_cast<char*>( MMMalloc( size ) );
	}
	if ( mpBuffer != nullptr ) {
		// A short read leaves the tail unparsed rather than parsing stale bytes.
		mui32Size = DTFread( mpBuffer, 1, size, file );
		for ( u32 i = 0; i < mui32Size; i++ ) {
			mpBuffer[i] = static_cast<char>( ( mpBuffer[i] >= 'a' && mpBuffer[i] <= 'z' ) ? mpBuffer[i] - 'a' + 'A' : mpBuffer[i] );
		}
	}
	DTFclose( file );
	Parse();
}

void EFIniFile::Parse() {
	if ( mpBuffer == nullptr ) {
		return;
	}
	const char* const end = mpBuffer + mui32Size;
	const char* position = mpBuffer;
	while ( position < end ) {
		if ( !FindLetterOrDigit( &position, end ) ) {
			return;
		}
		const char* const key = position;
		if ( !FindCharacter( &position, end, '=' ) ) {
			return;
		}
		if ( !FindLetterOrDigit( &position, end ) ) {
			return;
		}
		const char* const value = position;
		IniListNode* const node = new IniListNode( key, value, end );
		node->mpNext = mList.mpFirst;
		mList.mpFirst = node;
		if ( mList.mpLast == nullptr ) {
			mList.mpLast = node;
		}
		if ( !FindNonLetterOrDigit( &position, end ) ) {
			return;
		}
	}
}

IniListNode* EFIniFile::GetIniNode( const char* key ) const {
	if ( key == nullptr ) {
		return nullptr;
	}
	char wanted[INI_TOKEN_BUFFER];
	std::strncpy( wanted, key, INI_TOKEN_MAX );
	wanted[INI_TOKEN_MAX] = '\0';
	UpperCaseString( wanted );
	for ( IniListNode* node = mList.mpFirst; node != nullptr; node = node->mpNext ) {
		if ( std::strcmp( node->mszKey, wanted ) == 0 ) {
			return node;
		}
	}
	return nullptr;
}

s32 EFIniFile::GetIniString( const char* key, char* value ) const {
	const IniListNode* const node = GetIniNode( key );
	if ( node == nullptr || value == nullptr ) {
		return 0;
	}
	std::memcpy( value, node->mszValue, std::strlen( node->mszValue ) + 1 );
	return 1;
}

s32 EFIniFile::GetIniInteger( const char* key, s32* value ) const {
	const IniListNode* const node = GetIniNode( key );
	if ( node == nullptr || value == nullptr ) {
		return 0;
	}
	*value = node->mi32Integer;
	return 1;
}

s32 EFIniFile::GetIniFloat( const char* key, f32* value ) const {
	const IniListNode* const node = GetIniNode( key );
	if ( node == nullptr || value == nullptr ) {
		return 0;
	}
	*value = node->mfFloat;
	return 1;
}

s32 EFIniFile::GetIniBool( const char* key, u32* value ) const {
	const IniListNode* const node = GetIniNode( key );
	if ( node == nullptr || value == nullptr ) {
		return 0;
	}
	*value = static_cast<u32>( node->mi32Bool );
	return 1;
}

u32 EFIniFile::GetNodeCount() const {
	u32 count = 0;
	for ( const IniListNode* node = mList.mpFirst; node != nullptr; node = node->mpNext ) {
		count++;
	}
	return count;
}

void UpperCaseString( char* s ) {
	if ( s == nullptr ) {
		return;
	}
	for ( ; *s != '\0'; s++ ) {
		if ( *s >= 'a' && *s <= 'z' ) {
			*s = static_cast<char>( *s - 'a' + 'A' );
		}
	}
}

bool IsIniTokenCharacter( const char c ) {
	return ( c >= 'A' && c <= 'Z' ) || ( c >= 'a' && c <= 'z' ) || ( c >= '0' && c <= '9' ) ||
		   c == '-' || c == '.' || c == '\\' || c == '/' || c == '_';
}

void StrCpy( char* to, const char* from, const char* end ) {
	u32 length = 0;
	while ( from + length < end && length < INI_TOKEN_MAX && IsIniTokenCharacter( from[length] ) ) {
		to[length] = from[length];
		length++;
	}
	to[length] = '\0';
}

s32 GetBoolValue( const char* value ) {
	for ( ; *value != '\0'; value++ ) {
		switch ( *value ) {
			case '1': case 'T': case 'Y': case 't': case 'y':
				return 1;
			case '0': case 'F': case 'N': case 'f': case 'n':
				return 0;
			default:
				break;
		}
	}
	return INI_NOT_A_BOOLEAN;
}

namespace {

// Sign and the leading digit run of a value; the position after the run.
f64 ParseDigitRun( const char** position ) {
	const char* p = *position;
	const char* const first = p;
	while ( *p >= '0' && *p <= '9' ) {
		p++;
	}
	// Each digit times the power of ten of its place, as the reader sums them.
	f64 sum = 0.0;
	f64 place = 1.0;
	for ( const char* digit = p; digit != first; ) {
		digit--;
		sum += static_cast<f64>( *digit - '0' ) * place;
		place *= 10.0;
	}
	*position = p;
	return sum;
}

}

s32 GetIntegerValue( const char* value ) {
	f64 sign = 1.0;
	if ( *value == '-' ) {
		sign = -1.0;
		value++;
	}
	return DTFloatToS32( ParseDigitRun( &value ) * sign );
}

f32 GetFloatValue( const char* value ) {
	f64 sign = 1.0;
	if ( *value == '-' ) {
		sign = -1.0;
		value++;
	}
	f64 result = ParseDigitRun( &value );
	if ( *value == '.' ) {
		value++;
		f64 scale = 0.1;
		while ( *value >= '0' && *value <= '9' ) {
			result += static_cast<f64>( *value - '0' ) * scale;
			scale /= 10.0;
			value++;
		}
	}
	result *= sign;
	// Beyond the float range the console's conversion gives an infinity.
	if ( result > static_cast<f64>( std::numeric_limits<f32>::max() ) ) {
		return std::numeric_limits<f32>::infinity();
	}
	if ( result < -static_cast<f64>( std::numeric_limits<f32>::max() ) ) {
		return -std::numeric_limits<f32>::infinity();
	}
	return static_cast<f32>( result );
}

s32 FindLetterOrDigit( const char** position, const char* end ) {
	const char* p = *position;
	while ( p < end && !IsIniTokenCharacter( *p ) ) {
		p++;
	}
	*position = p;
	return p < end ? 1 : 0;
}

s32 FindNonLetterOrDigit( const char** position, const char* end ) {
	const char* p = *position;
	while ( p < end && IsIniTokenCharacter( *p ) ) {
		p++;
	}
	*position = p;
	return p < end ? 1 : 0;
}

s32 FindCharacter( const char** position, const char* end, const char wanted ) {
	const char* p = *position;
	while ( p < end && *p != wanted ) {
		p++;
	}
	*position = p;
	return p < end ? 1 : 0;
}
