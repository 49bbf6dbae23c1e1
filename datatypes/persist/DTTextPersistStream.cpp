#include "datatypes/persist/DTTextPersistStream.h"

#include "datatypes/file/DTFile.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr s32 TEXT_FILE_TYPE		= DT_PERSIST_TYPE_TEXT | DT_PERSIST_TYPE_FILE;

// What the scan hook returns at the end of its input, as fscanf does.
constexpr s32 SCAN_END_OF_INPUT		= -1;

constexpr const char * FORMAT_FLOAT_LOAD	= "%f";
constexpr const char * FORMAT_FLOAT_SAVE	= "%.8f";
constexpr const char * FORMAT_LONG			= "%d";
constexpr const char * FORMAT_SHORT			= "%hd";
constexpr const char * FORMAT_LONG_LONG		= "%lld";
constexpr const char * FORMAT_CHAR			= "%c";

// Room for "%<width>s" with any 32-bit width.
constexpr u32 WORD_FORMAT_MAX		= 16;

// Bytes handed to DTFgets to skip the rest of a commented line.
constexpr u32 COMMENT_LINE_MAX		= 256;

bool IsWhiteSpace( const char c ) {
	return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

DTTextPersistStream::DTTextPersistStream( DTFileHandle_ * file ) {
	Initialise( file );
}

DTTextPersistStream::~DTTextPersistStream() {
}

void DTTextPersistStream::Initialise( DTFileHandle_ * file ) {
	miType = TEXT_FILE_TYPE;
	mpFileHandle = file;
	mpoStreamLoader = nullptr;
}

s32 DTTextPersistStream::LoadData( char & value ) {
	return Scan( FORMAT_CHAR, &value );
}

s32 DTTextPersistStream::LoadData( s8 & value ) {
	u8 byte = static_cast<u8>( value );
	const s32 result = ScanByte( byte );
	value = static_cast<s8>( byte );
	return result;
}

s32 DTTextPersistStream::LoadData( s16 & value ) {
	return Scan( FORMAT_SHORT, &value );
}

s32 DTTextPersistStream::LoadData( s32 & value ) {
	return Scan( FORMAT_LONG, &value );
}

s32 DTTextPersistStream::LoadData( s64 & value ) {
	return Scan( FORMAT_LONG_LONG, &value );
}

s32 DTTextPersistStream::LoadData( u8 & value ) {
	return ScanByte( value );
}

s32 DTTextPersistStream::LoadData( u16 & value ) {
	return Scan( FORMAT_SHORT, &value );
}

s32 DTTextPersistStream::LoadData( u32 & value ) {
	return Scan( FORMAT_LONG, &value );
}

s32 DTTextPersistStream::LoadData( f32 & value ) {
	return Scan( FORMAT_FLOAT_LOAD, &value );
}

s32 DTTextPersistStream::SaveData( const char & value ) {
	return PrintInt( FORMAT_CHAR, value );
}

s32 DTTextPersistStream::SaveData( const s8 & value ) {
	return PrintInt( FORMAT_LONG, value );
}

s32 DTTextPersistStream::SaveData( const s16 & value ) {
	return PrintInt( FORMAT_SHORT, value );
}

s32 DTTextPersistStream::SaveData( const s32 & value ) {
	return PrintInt( FORMAT_LONG, value );
}

s32 DTTextPersistStream::SaveData( const s64 & value ) {
	return PrintLongLong( value );
}

s32 DTTextPersistStream::SaveData( const u8 & value ) {
	return PrintInt( FORMAT_LONG, value );
}

s32 DTTextPersistStream::SaveData( const u16 & value ) {
	return PrintInt( FORMAT_SHORT, value );
}

s32 DTTextPersistStream::SaveData( const u32 & value ) {
	// "%d" as for the signed long: the same 32 bits either way.
	return PrintInt( FORMAT_LONG, static_cast<s32>( value ) );
}

s32 DTTextPersistStream::SaveData( const f32 & value ) {
	return PrintDouble( value );
}

s32 DTTextPersistStream::SaveTextData( const char * ) {
	return DT_PERSIST_OK;
}

s32 DTTextPersistStream::SaveTextIndentation( const s8 ) {
	return DT_PERSIST_OK;
}

s32 DTTextPersistStream::LoadTextData( char * buffer, const s32 max ) {
	if ( max <= 0 ) {
		return DT_PERSIST_READ_PAST_END;
	}
	// Blank lines are skipped. A line source that delivers nothing ends the
	// read instead of asking again forever.
	do {
		if ( DTFgets( buffer, max, mpFileHandle ) == nullptr ) {
			buffer[0] = '\0';
			return DT_PERSIST_READ_PAST_END;
		}
	} while ( buffer[0] == '\n' || buffer[0] == '\r' );

	buffer[max - 1] = '\0';
	char * lineFeed = std::strchr( buffer, '\n' );
	if ( lineFeed != nullptr ) {
		*lineFeed = '\0';
	}
	char * carriageReturn = std::strchr( buffer, '\r' );
	if ( carriageReturn != nullptr ) {
		*carriageReturn = '\0';
	}
	size_t start = 0;
	while ( buffer[start] == ' ' ) {
		start++;
	}
	if ( start != 0 ) {
		std::memmove( buffer, buffer + start, std::strlen( buffer + start ) + 1 );
	}
	return DT_PERSIST_OK;
}

s32 DTTextPersistStream::LoadString( char * buffer, const s32 max ) {
	if ( max <= 0 ) {
		return DT_PERSIST_READ_PAST_END;
	}
	buffer[0] = '\0';
	// A word needs at least one character besides the terminator.
	if ( max < 2 || fnFscanf == nullptr ) {
		return DT_PERSIST_READ_PAST_END;
	}
	char format[WORD_FORMAT_MAX];
	std::snprintf( format, sizeof( format ), "%%%ds", static_cast<int>( max - 1 ) );

	while ( buffer[0] == '\0' ) {
		// A scan that stores no word fails, whatever it returns, so a
		// word is never waited for twice at the end of the input.
		if ( fnFscanf( mpFileHandle, format, buffer ) < 1 ) {
			buffer[0] = '\0';
			return DT_PERSIST_READ_PAST_END;
		}
		buffer[max - 1] = '\0';
		char * comment = std::strstr( buffer, "//" );
		if ( comment != nullptr ) {
			*comment = '\0';
			char line[COMMENT_LINE_MAX];
			DTFgets( line, sizeof( line ), mpFileHandle );
		}
	}
	return DT_PERSIST_OK;
}

s32 DTTextPersistStream::SkipWhiteSpace( char & c ) {
	c = ' ';
	s32 result = DT_PERSIST_OK;
	while ( IsWhiteSpace( c ) ) {
		// A file read at the end reports nothing and leaves c a space:
		// without this check the loop would never end.
		if ( GetBytesLeft() == 0 ) {
			return DT_PERSIST_READ_PAST_END;
		}
		result = LoadBinaryData( &c, 1 );
		if ( result != DT_PERSIST_OK ) {
			return result;
		}
	}
	return result;
}

s32 DTTextPersistStream::Scan( const char * format, void * address ) {
	if ( fnFscanf == nullptr ) {
		return DT_PERSIST_READ_PAST_END;
	}
	if ( fnFscanf( mpFileHandle, format, address ) == SCAN_END_OF_INPUT ) {
		return DT_PERSIST_READ_PAST_END;
	}
	return DT_PERSIST_OK;
}

s32 DTTextPersistStream::ScanByte( u8 & value ) {
	// "%d" stores four bytes: scanned into a full-width temporary, of
	// which the field keeps the low byte.
	s32 wide = value;
	const s32 result = Scan( FORMAT_LONG, &wide );
	value = static_cast<u8>( wide );
	return result;
}

s32 DTTextPersistStream::PrintInt( const char * format, const s32 value ) {
	if ( fnFprintf == nullptr ) {
		return DT_PERSIST_OK;
	}
	return PrintResult( fnFprintf( mpFileHandle, format, value ) );
}

s32 DTTextPersistStream::PrintLongLong( const s64 value ) {
	if ( fnFprintf == nullptr ) {
		return DT_PERSIST_OK;
	}
	return PrintResult( fnFprintf( mpFileHandle, FORMAT_LONG_LONG, static_cast<long long>( value ) ) );
}

s32 DTTextPersistStream::PrintDouble( const f64 value ) {
	if ( fnFprintf == nullptr ) {
		return DT_PERSIST_OK;
	}
	return PrintResult( fnFprintf( mpFileHandle, FORMAT_FLOAT_SAVE, value ) );
}

s32 DTTextPersistStream::PrintResult( const s32 hookResult ) const {
	return hookResult < 0 ? DT_PERSIST_PRINT_FAILED : DT_PERSIST_OK;
}
