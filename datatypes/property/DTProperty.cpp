#include "datatypes/property/DTProperty.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/property/DTDummyVector2.h"
#include "datatypes/property/DTDummyVector3.h"
#include "datatypes/property/DTDummyVector4.h"
#include "datatypes/streamable/DTStreamable.h"
#include "datatypes/containers/DTString.h"
#include "datatypes/persist/DTTextPersistStream.h"

#include <cstring>
#include <new>

namespace {

// Least bytes one stored element takes: a float, a long or a string's
// length word in the binary form; a character in the text form.
constexpr u32 BINARY_ELEMENT_MIN	= 4;
constexpr u32 TEXT_ELEMENT_MIN		= 1;
// Least bytes one block byte takes: itself, or two letters in the text form.
constexpr u32 BINARY_BLOCK_BYTE_MIN	= 1;
constexpr u32 TEXT_BLOCK_BYTE_MIN	= 2;

constexpr char TEXT_QUOTE			= '\'';
constexpr char TEXT_BLOCK_BASE		= 'a';
constexpr s32 TEXT_BLOCK_HIGH_SCALE	= 8;

// Whether count stored elements of at least elementMin bytes each can
// still be in the stream.
bool CountFits( const DTBasePersistStream & stream, const s32 count, const u32 elementMin ) {
	if ( count < 0 ) {
		return false;
	}
	const u64 needed = static_cast<u64>( count ) * elementMin;
	return needed <= stream.GetBytesLeft();
}

// Reads a count and checks it against the bytes left; the count read's
// code, or DT_PERSIST_READ_PAST_END for a count that cannot be true.
s32 LoadCount( DTBasePersistStream & stream, s32 & count, const u32 binaryMin, const u32 textMin ) {
	count = 0;
	const s32 result = stream.LoadData( count );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	if ( !CountFits( stream, count, stream.IsText() ? textMin : binaryMin ) ) {
		return DT_PERSIST_READ_PAST_END;
	}
	return DT_PERSIST_OK;
}

} // namespace

DTProperty::DTProperty( const char * name, const DTVariant & field, const bool ownBuffer, const s32 extra )
	: mszName( nullptr ) {
	Mutate( name, field );
	SetOwnBuffer( ownBuffer );
	u32 kept = 0;
	if ( extra > 0 ) {
		kept = static_cast<u32>( extra ) > DT_VARIANT_EXTRA_MASK ? DT_VARIANT_EXTRA_MASK : static_cast<u32>( extra );
	}
	SetExtra( kept );
}

DTProperty::~DTProperty() {
}

void DTProperty::Mutate( const char * name, const DTVariant & field ) {
	DTVariant::operator=( field );
	mszName = name;
}

s32 DTProperty::SaveToStream( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 DTProperty::LoadFromStream( DTBasePersistStream & stream ) {
	void * pointer = mValue.mpPointer;
	switch ( GetType() ) {
	case DT_VARIANT_FLOAT:			return stream.LoadData( mValue.mfFloat );
	case DT_VARIANT_S8:				return stream.LoadData( mValue.mi8Value );
	case DT_VARIANT_S16:			return stream.LoadData( mValue.mi16Value );
	case DT_VARIANT_S32:			return stream.LoadData( mValue.mi32Value );
	case DT_VARIANT_U8:				return stream.LoadData( mValue.mui8Value );
	case DT_VARIANT_U16:			return stream.LoadData( mValue.mui16Value );
	case DT_VARIANT_U32:			return stream.LoadData( mValue.mui32Value );
	case DT_VARIANT_FLOAT_PTR:		return stream.LoadData( *static_cast<f32 *>( pointer ) );
	case DT_VARIANT_S8_PTR:			return stream.LoadData( *static_cast<s8 *>( pointer ) );
	case DT_VARIANT_S16_PTR:		return stream.LoadData( *static_cast<s16 *>( pointer ) );
	case DT_VARIANT_S32_PTR:		return stream.LoadData( *static_cast<s32 *>( pointer ) );
	case DT_VARIANT_U8_PTR:			return stream.LoadData( *static_cast<u8 *>( pointer ) );
	case DT_VARIANT_U16_PTR:		return stream.LoadData( *static_cast<u16 *>( pointer ) );
	case DT_VARIANT_U32_PTR:		return stream.LoadData( *static_cast<u32 *>( pointer ) );
	case DT_VARIANT_S64_PTR:		return stream.LoadData( *static_cast<s64 *>( pointer ) );
	case DT_VARIANT_STRING:
	case DT_VARIANT_DTSTRING_PTR:	return LoadString( stream, static_cast<DTString *>( pointer ) );
	case DT_VARIANT_STREAMABLE_PTR:	return static_cast<DTStreamable *>( pointer )->Load( stream );
	case DT_VARIANT_VECTOR2_PTR:	return LoadFloats( stream, &static_cast<DTDummyVector2 *>( pointer )->x, 2 );
	case DT_VARIANT_VECTOR3_PTR:	return LoadFloats( stream, &static_cast<DTDummyVector3 *>( pointer )->x, 3 );
	case DT_VARIANT_VECTOR4_PTR:	return LoadFloats( stream, &static_cast<DTDummyVector4 *>( pointer )->x, 4 );
	case DT_VARIANT_BLOCK:
	case DT_VARIANT_BLOCK_ALLOC:	return LoadBlock( stream );
	case DT_VARIANT_FLOAT_ARRAY:	return LoadFloatArray( stream, *static_cast<DTVector<f32> *>( pointer ) );
	case DT_VARIANT_LONG_ARRAY:		return LoadLongArray( stream, *static_cast<DTVector<s32> *>( pointer ) );
	case DT_VARIANT_STRING_ARRAY:	return LoadStringArray( stream, *static_cast<DTVector<DTString> *>( pointer ) );
	default:						return DT_PERSIST_OK;
	}
}

s32 DTProperty::LoadString( DTBasePersistStream & stream, DTString * target ) {
	char buffer[DT_PROPERTY_STRING_MAX];
	const s32 result = stream.LoadTextData( buffer, DT_PROPERTY_STRING_MAX );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	// Assignment copies no address for the string code 8, so a property
	// made from such a variant has none: its string is read and dropped,
	// which keeps the fields after it in step.
	if ( target == nullptr ) {
		return DT_PERSIST_OK;
	}
	if ( !stream.IsText() ) {
		*target = buffer;
		return DT_PERSIST_OK;
	}
	// The text form quotes its strings: take what lies between the first
	// quote and the next one, or the end of the text.
	char * open = std::strchr( buffer, TEXT_QUOTE );
	if ( open == nullptr ) {
		*target = buffer;
		return DT_PERSIST_NO_QUOTES;
	}
	char * close = std::strchr( open + 1, TEXT_QUOTE );
	if ( close != nullptr ) {
		*close = '\0';
	}
	*target = open + 1;
	return DT_PERSIST_OK;
}

s32 DTProperty::LoadFloats( DTBasePersistStream & stream, f32 * floats, const u32 count ) {
	if ( !stream.IsText() ) {
		for ( u32 i = 0; i < count; i++ ) {
			const s32 result = stream.LoadData( floats[i] );
			if ( result != DT_PERSIST_OK ) {
				return result;
			}
		}
		return DT_PERSIST_OK;
	}
	// Text: white space and one separator before the first float and after
	// each one, as in "(1.0, 2.0, 3.0)".
	DTTextPersistStream & text = static_cast<DTTextPersistStream &>( stream );
	char separator = 0;
	s32 result = text.SkipWhiteSpace( separator );
	for ( u32 i = 0; i < count && result == DT_PERSIST_OK; i++ ) {
		result = text.LoadData( floats[i] );
		if ( result == DT_PERSIST_OK ) {
			result = text.SkipWhiteSpace( separator );
		}
	}
	return result;
}

namespace {

// Sizes a numeric array to a count already checked against the stream,
// zeroes it, then reads its elements; the first failure stops the reads.
template <typename T>
s32 LoadNumbers( DTBasePersistStream & stream, DTVector<T> & target, const s32 count ) {
	if ( !target.Resize( static_cast<u32>( count ) ) ) {
		return DT_PERSIST_READ_PAST_END;
	}
	for ( u32 i = 0; i < target.GetSize(); i++ ) {
		target[i] = T( 0 );
	}
	s32 result = DT_PERSIST_OK;
	for ( u32 i = 0; i < target.GetSize() && result == DT_PERSIST_OK; i++ ) {
		result = stream.LoadData( target[i] );
	}
	return result;
}

}

s32 DTProperty::LoadFloatArray( DTBasePersistStream & stream, DTVector<f32> & target ) {
	s32 count = 0;
	const s32 result = LoadCount( stream, count, BINARY_ELEMENT_MIN, TEXT_ELEMENT_MIN );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	return LoadNumbers( stream, target, count );
}

s32 DTProperty::LoadLongArray( DTBasePersistStream & stream, DTVector<s32> & target ) {
	s32 count = 0;
	const s32 result = LoadCount( stream, count, BINARY_ELEMENT_MIN, TEXT_ELEMENT_MIN );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	return LoadNumbers( stream, target, count );
}

s32 DTProperty::LoadStringArray( DTBasePersistStream & stream, DTVector<DTString> & target ) {
	s32 count = 0;
	s32 result = LoadCount( stream, count, BINARY_ELEMENT_MIN, TEXT_ELEMENT_MIN );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	if ( !target.Resize( static_cast<u32>( count ) ) ) {
		return DT_PERSIST_READ_PAST_END;
	}
	// Array strings are taken as stored, without the text form's quotes.
	char buffer[DT_PROPERTY_STRING_MAX];
	for ( u32 i = 0; i < target.GetSize(); i++ ) {
		result = stream.LoadTextData( buffer, DT_PROPERTY_STRING_MAX );
		if ( result != DT_PERSIST_OK ) {
			return result;
		}
		target[i] = buffer;
	}
	return DT_PERSIST_OK;
}

s32 DTProperty::LoadBlock( DTBasePersistStream & stream ) {
	s32 count = 0;
	s32 result = LoadCount( stream, count, BINARY_BLOCK_BYTE_MIN, TEXT_BLOCK_BYTE_MIN );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	const u32 size = static_cast<u32>( count );
	// The count is kept in the 24-bit extra information, and a block in
	// place cannot grow past the buffer it was registered with.
	if ( size > DT_VARIANT_EXTRA_MASK ) {
		return DT_PERSIST_READ_PAST_END;
	}
	const bool inPlace = GetType() == DT_VARIANT_BLOCK;
	if ( inPlace && size > GetExtra() ) {
		return DT_PERSIST_READ_PAST_END;
	}
	SetExtra( size );

	if ( stream.IsText() ) {
		char separator = 0;
		result = stream.LoadData( separator );
	}

	u8 * block = nullptr;
	if ( inPlace ) {
		block = static_cast<u8 *>( mValue.mpPointer );
	} else {
		// A new block every load: an earlier one belongs to the field's owner.
		block = new ( std::nothrow ) u8[size];
		if ( block == nullptr ) {
			return DT_PERSIST_READ_PAST_END;
		}
		*static_cast<u8 **>( mValue.mpPointer ) = block;
	}

	if ( !stream.IsText() ) {
		return stream.LoadBinaryData( reinterpret_cast<char *>( block ), count );
	}
	return result | LoadTextBlock( stream, block, size );
}

s32 DTProperty::LoadTextBlock( DTBasePersistStream & stream, u8 * block, const u32 count ) {
	if ( count != 0 ) {
		std::memset( block, 0, count );
	}
	s32 result = DT_PERSIST_OK;
	for ( u32 i = 0; i < count; i++ ) {
		char high = 0;
		char low = 0;
		const s32 highResult = stream.LoadData( high );
		const s32 lowResult = stream.LoadData( low );
		result |= highResult | lowResult;
		// A byte whose letters could not be read stays zero.
		if ( highResult == DT_PERSIST_OK && lowResult == DT_PERSIST_OK ) {
			block[i] = static_cast<u8>( ( high - TEXT_BLOCK_BASE ) * TEXT_BLOCK_HIGH_SCALE + ( low - TEXT_BLOCK_BASE ) );
		}
		if ( i > 0 && i % DT_PROPERTY_BLOCK_LINE_BYTES == 0 ) {
			char lineBreak = 0;
			result |= stream.LoadData( lineBreak );
			result |= stream.LoadData( lineBreak );
		}
	}
	return result;
}
