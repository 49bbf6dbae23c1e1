#include "datatypes/property/DTVariant.h"

#include <cstring>

namespace {

// The flags word of a type, with no own-buffer bit and no extra information.
u32 FlagsOfType( const u32 type ) {
	return type << DT_VARIANT_TYPE_SHIFT;
}

// Whether operator= copies the pointer for this target type.
bool CopiesPointer( const u32 type ) {
	if ( type >= DT_VARIANT_POINTER_FIRST && type <= DT_VARIANT_VECTOR4_PTR ) {
		return true;
	}
	if ( type >= DT_VARIANT_LINK && type <= DT_VARIANT_BLOCK_ALLOC ) {
		return true;
	}
	return type == DT_VARIANT_FLOAT_ARRAY || type == DT_VARIANT_LONG_ARRAY || type == DT_VARIANT_STRING_ARRAY;
}

} // namespace

DTVariant::DTVariant()
	: muiFlags( 0 ) {
	SetPointerValue( nullptr );
}

DTVariant::DTVariant( f32 * field )
	: muiFlags( FlagsOfType( DT_VARIANT_FLOAT_PTR ) ) {
	SetPointerValue( field );
}

DTVariant::DTVariant( s32 * field )
	: muiFlags( FlagsOfType( DT_VARIANT_S32_PTR ) ) {
	SetPointerValue( field );
}

DTVariant::DTVariant( u32 * field )
	: muiFlags( FlagsOfType( DT_VARIANT_U32_PTR ) ) {
	SetPointerValue( field );
}

DTVariant::DTVariant( DTString * field )
	: muiFlags( FlagsOfType( DT_VARIANT_DTSTRING_PTR ) ) {
	SetPointerValue( field );
}

DTVariant::DTVariant( DTStreamable * field )
	: muiFlags( FlagsOfType( DT_VARIANT_STREAMABLE_PTR ) ) {
	SetPointerValue( field );
}

DTVariant::DTVariant( DTDummyVector3 * field )
	: muiFlags( FlagsOfType( DT_VARIANT_VECTOR3_PTR ) ) {
	SetPointerValue( field );
}

DTVariant::DTVariant( DTDummyVector4 * field )
	: muiFlags( FlagsOfType( DT_VARIANT_VECTOR4_PTR ) ) {
	SetPointerValue( field );
}

DTVariant::DTVariant( DTVector<f32> * field )
	: muiFlags( FlagsOfType( DT_VARIANT_FLOAT_ARRAY ) ) {
	SetPointerValue( field );
}

DTVariant::DTVariant( DTVector<s32> * field )
	: muiFlags( FlagsOfType( DT_VARIANT_LONG_ARRAY ) ) {
	SetPointerValue( field );
}

DTVariant::DTVariant( DTVector<DTString> * field )
	: muiFlags( FlagsOfType( DT_VARIANT_STRING_ARRAY ) ) {
	SetPointerValue( field );
}


DTVariant::DTVariant( void * block, const s32 size )
	: muiFlags( FlagsOfType( DT_VARIANT_BLOCK ) ) {
	SetPointerValue( block );
	// The extra information has 24 bits; a size it cannot hold is clamped,
	// so loads are bounded by no more than the buffer really has.
	u32 extra = 0;
	if ( size > 0 ) {
		extra = static_cast<u32>( size ) > DT_VARIANT_EXTRA_MASK ? DT_VARIANT_EXTRA_MASK : static_cast<u32>( size );
	}
	SetExtra( extra );
}

DTVariant::DTVariant( const DTVariant & other )
	: mValue( other.mValue ), muiFlags( other.muiFlags & ~DT_VARIANT_OWN_BUFFER ) {
}

DTVariant::~DTVariant() {
	if ( IsOwnBuffer() && GetType() > DT_VARIANT_POINTER_FIRST ) {
		// The buffer was handed over as raw storage: no destructor to run.
		::operator delete( mValue.mpPointer );
	}
}

DTVariant & DTVariant::operator=( const DTVariant & other ) {
	if ( this == &other ) {
		return *this;
	}
	if ( GetType() == DT_VARIANT_NONE ) {
		SetType( other.GetType() );
	}
	SetOwnBuffer( other.IsOwnBuffer() );
	SetExtra( other.GetExtra() );

	const u32 type = GetType();
	switch ( type ) {
	case DT_VARIANT_FLOAT:
		mValue.mfFloat = other.mValue.mfFloat;
		break;
	case DT_VARIANT_S8:
	case DT_VARIANT_U8:
		std::memcpy( &mValue, &other.mValue, sizeof( u8 ) );
		break;
	case DT_VARIANT_S16:
	case DT_VARIANT_U16:
		std::memcpy( &mValue, &other.mValue, sizeof( u16 ) );
		break;
	case DT_VARIANT_S32:
	case DT_VARIANT_U32:
		std::memcpy( &mValue, &other.mValue, sizeof( u32 ) );
		break;
	default:
		if ( CopiesPointer( type ) ) {
			mValue.mpPointer = other.mValue.mpPointer;
		}
		break;
	}
	return *this;
}

void DTVariant::SetPointerValue( void * pointer ) {
	// Clears every byte first: the inline types read only the leading ones.
	std::memset( &mValue, 0, sizeof( mValue ) );
	mValue.mpPointer = pointer;
}

void DTVariant::SetType( const u32 type ) {
	muiFlags = ( muiFlags & ( DT_VARIANT_OWN_BUFFER | DT_VARIANT_EXTRA_MASK ) ) | FlagsOfType( type & 0x7F );
}

void DTVariant::SetOwnBuffer( const bool own ) {
	if ( own ) {
		muiFlags |= DT_VARIANT_OWN_BUFFER;
	} else {
		muiFlags &= ~DT_VARIANT_OWN_BUFFER;
	}
}

void DTVariant::SetExtra( const u32 extra ) {
	muiFlags = ( muiFlags & ~DT_VARIANT_EXTRA_MASK ) | ( extra & DT_VARIANT_EXTRA_MASK );
}
