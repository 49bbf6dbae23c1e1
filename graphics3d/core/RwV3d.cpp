#include "graphics3d/core/RwV3d.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwMatrix.h"

#include <bit>
#include <cmath>

RwModuleInfo vectorModule;

// Bytes of one square-root table.
static const u32 TABLE_BYTES = RWSQRT_TABLE_ENTRIES * sizeof( u32 );
// First entry of the half that covers [1, 2); the other covers [2, 4).
static const u32 HALF_ENTRIES = RWSQRT_TABLE_ENTRIES / 2;

// Biases removed from the stored roots; they swap between the halves of
// the two tables because the exponent of 1/sqrt runs the other way.
static const u32 BIAS_LOW	= 0x1FC00000;
static const u32 BIAS_HIGH	= 0x20000000;

// Rounds to the nearest table step: half of the dropped mantissa bits.
static const u32 ROUNDING		= 2048;
static const u32 INDEX_SHIFT	= 12;
static const u32 INDEX_MASK		= 0xFFF;
static const u32 EXPONENT_MASK	= 0x3FC00000;

static RwVectorGlobals* Globals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( vectorModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RwVectorGlobals>( instance, vectorModule.globalsOffset );
}

static u32 Bits( const f64 value ) {
	return std::bit_cast<u32>( static_cast<f32>( value ) );
}

static void BuildTables( u32* sqrtTable, u32* invTable ) {
	for ( u32 m = 0; m < HALF_ENTRIES; m++ ) {
		const f64 low = 1.0 + static_cast<f64>( m ) / 2048.0;
		const f64 high = 2.0 + static_cast<f64>( m ) / 1024.0;
		sqrtTable[HALF_ENTRIES + m] = Bits( std::sqrt( low ) ) - BIAS_LOW;
		sqrtTable[m] = Bits( std::sqrt( high ) ) - BIAS_HIGH;
		invTable[HALF_ENTRIES + m] = Bits( 1.0 / std::sqrt( low ) ) - BIAS_HIGH;
		invTable[m] = Bits( 1.0 / std::sqrt( high ) ) - BIAS_LOW;
	}
}

// Without the module's tables (before start or after stop) the roots come
// from the C library, so that no caller reads a table that is not there.
f32 _rwSqrt( const f32 x ) {
	const u32 b = std::bit_cast<u32>( x );
	if ( b == 0 ) {
		return x;
	}
	const RwVectorGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return static_cast<f32>( std::sqrt( static_cast<f64>( x ) ) );
	}
	const u32 c = b + ROUNDING;
	const u32 i = ( c >> INDEX_SHIFT ) & INDEX_MASK;
	return std::bit_cast<f32>( ( ( c >> 1 ) & EXPONENT_MASK ) + globals->SqrtTable[i] );
}

f32 _rwInvSqrt( const f32 x ) {
	const u32 b = std::bit_cast<u32>( x );
	if ( b == 0 ) {
		return x;
	}
	const RwVectorGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return static_cast<f32>( 1.0 / std::sqrt( static_cast<f64>( x ) ) );
	}
	const u32 c = b + ROUNDING;
	const u32 i = ( c >> INDEX_SHIFT ) & INDEX_MASK;
	return std::bit_cast<f32>( ( ( ~c >> 1 ) & EXPONENT_MASK ) + globals->InvSqrtTable[i] );
}

static f32 LengthSquared( const RwV3d* v ) {
	return v->x * v->x + v->y * v->y + v->z * v->z;
}

f32 RwV3dLength( const RwV3d* v ) {
	return _rwSqrt( LengthSquared( v ) );
}

f32 RwV3dNormalize( RwV3d* out, const RwV3d* in ) {
	const f32 lengthSquared = LengthSquared( in );
	const f32 length = _rwSqrt( lengthSquared );
	if ( length <= 0.0f ) {
		_rwErrorSetCore( _rwerror( RWERR_ZERO_LENGTH_VECTOR ) );
	}
	const f32 recip = _rwInvSqrt( lengthSquared );
	out->x = in->x * recip;
	out->y = in->y * recip;
	out->z = in->z * recip;
	return length;
}

f32 RwV3dDotProduct( const RwV3d* a, const RwV3d* b ) {
	return a->x * b->x + a->y * b->y + a->z * b->z;
}

void RwV3dCrossProduct( RwV3d* out, const RwV3d* a, const RwV3d* b ) {
	const RwV3d r = { a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x };
	*out = r;
}

RwV3d* _rwV3dTransformPointsOwn( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* matrix ) {
	for ( s32 i = 0; i < count; i++ ) {
		const f32 x = in[i].x;
		const f32 y = in[i].y;
		const f32 z = in[i].z;
		out[i].x = x * matrix->right.x + y * matrix->up.x + z * matrix->at.x + matrix->pos.x;
		out[i].y = x * matrix->right.y + y * matrix->up.y + z * matrix->at.y + matrix->pos.y;
		out[i].z = x * matrix->right.z + y * matrix->up.z + z * matrix->at.z + matrix->pos.z;
	}
	return out;
}

RwV3d* _rwV3dTransformVectorsOwn( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* matrix ) {
	for ( s32 i = 0; i < count; i++ ) {
		const f32 x = in[i].x;
		const f32 y = in[i].y;
		const f32 z = in[i].z;
		out[i].x = x * matrix->right.x + y * matrix->up.x + z * matrix->at.x;
		out[i].y = x * matrix->right.y + y * matrix->up.y + z * matrix->at.y;
		out[i].z = x * matrix->right.z + y * matrix->up.z + z * matrix->at.z;
	}
	return out;
}

RwV3d* RwV3dTransformPoints( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* matrix ) {
	const RwVectorGlobals* const globals = Globals();
	const RwVectorMultFn multPoint = globals != nullptr ? globals->multPoint : _rwV3dTransformPointsOwn;
	return multPoint( out, in, count, matrix );
}

RwV3d* RwV3dTransformVectors( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* matrix ) {
	const RwVectorGlobals* const globals = Globals();
	const RwVectorMultFn multVector = globals != nullptr ? globals->multVector : _rwV3dTransformVectorsOwn;
	return multVector( out, in, count, matrix );
}

bool _rwVectorSetMultFn( const RwVectorMultFn multPoint, const RwVectorMultFn multVector ) {
	RwVectorGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return false;
	}
	globals->multPoint = multPoint != nullptr ? multPoint : _rwV3dTransformPointsOwn;
	globals->multVector = multVector != nullptr ? multVector : _rwV3dTransformVectorsOwn;
	return true;
}

void* _rwVectorOpen( void* instance, const s32 offset, s32 ) {
	RwVectorGlobals* const globals = RwPluginData<RwVectorGlobals>( instance, offset );
	const RwMemoryFunctions* const memory = &static_cast<RwGlobals*>( instance )->memoryFunctions;
	globals->SqrtTable = static_cast<u32*>( memory->rwmalloc( TABLE_BYTES ) );
	if ( globals->SqrtTable == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, TABLE_BYTES ) );
		return nullptr;
	}
	globals->InvSqrtTable = static_cast<u32*>( memory->rwmalloc( TABLE_BYTES ) );
	if ( globals->InvSqrtTable == nullptr ) {
		memory->rwfree( globals->SqrtTable );
		globals->SqrtTable = nullptr;
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, TABLE_BYTES ) );
		return nullptr;
	}
	BuildTables( globals->SqrtTable, globals->InvSqrtTable );
	globals->multPoint = _rwV3dTransformPointsOwn;
	globals->multVector = _rwV3dTransformVectorsOwn;
	vectorModule.globalsOffset = offset;
	vectorModule.numInstances++;
	return instance;
}

void* _rwVectorClose( void* instance, const s32 offset, s32 ) {
	if ( vectorModule.numInstances <= 0 ) {
		return instance;
	}
	RwVectorGlobals* const globals = RwPluginData<RwVectorGlobals>( instance, offset );
	const RwMemoryFunctions* const memory = &static_cast<RwGlobals*>( instance )->memoryFunctions;
	memory->rwfree( globals->SqrtTable );
	memory->rwfree( globals->InvSqrtTable );
	globals->SqrtTable = nullptr;
	globals->InvSqrtTable = nullptr;
	vectorModule.numInstances--;
	return instance;
}
