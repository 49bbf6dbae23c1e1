#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/maths/DTFabs.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiMatrixAlign.h"
#include "framework/logic/api/LogicApiTable.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwMatrixCombine.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>
#include <cstring>
#include <math.h>

namespace {

bool bDone = false;

// Flags of an orthonormal identity matrix.
constexpr u32 MATH_IDENTITY_FLAGS	= 0x20003;
// Alignment treats vectors this close (2 to the power -15 per component)
// as equal.
constexpr s32 MATH_ALIGN_EXPONENT	= -15;

// --- Vectors: results go into the first argument, which is returned ---

void MathVectorSet( DTVector3d * v, const f32 x, const f32 y, const f32 z ) {
	v->Set( x, y, z );
}

DTVector3d * MathVectorAdd( DTVector3d * dst, DTVector3d * a, DTVector3d * b ) {
	EFApiTrace::mFuncName = "CVectorAdd";
	dst->Set( a->x + b->x, a->y + b->y, a->z + b->z );
	EFApiTrace::mFuncName = nullptr;
	return dst;
}

DTVector3d * MathVectorSub( DTVector3d * dst, DTVector3d * a, DTVector3d * b ) {
	EFApiTrace::mFuncName = "CVectorSub";
	dst->Set( a->x - b->x, a->y - b->y, a->z - b->z );
	EFApiTrace::mFuncName = nullptr;
	return dst;
}

f32 MathVectorDot( DTVector3d * a, DTVector3d * b ) {
	EFApiTrace::mFuncName = "CVectorDot";
	const f32 dot = a->x * b->x + a->y * b->y + a->z * b->z;
	EFApiTrace::mFuncName = nullptr;
	return dot;
}

// Written x, y, z in turn: dst must be neither a nor b.
DTVector3d * MathVectorCross( DTVector3d * dst, DTVector3d * a, DTVector3d * b ) {
	EFApiTrace::mFuncName = "CVectorCross";
	dst->x = a->y * b->z - a->z * b->y;
	dst->y = a->z * b->x - a->x * b->z;
	dst->z = a->x * b->y - a->y * b->x;
	EFApiTrace::mFuncName = nullptr;
	return dst;
}

f32 MathLength( const DTVector3d & v ) {
	return std::sqrt( v.x * v.x + v.y * v.y + v.z * v.z );
}

f32 MathVectorLength( DTVector3d * v ) {
	EFApiTrace::mFuncName = "CVectorLength";
	const f32 length = MathLength( *v );
	EFApiTrace::mFuncName = nullptr;
	return length;
}

DTVector3d * MathVectorNegate( DTVector3d * dst, DTVector3d * src ) {
	EFApiTrace::mFuncName = "CVectorNegate";
	dst->Set( -src->x, -src->y, -src->z );
	EFApiTrace::mFuncName = nullptr;
	return dst;
}

// A zero vector gives non-finite components: the length is not tested.
DTVector3d * MathVectorNormalize( DTVector3d * dst, DTVector3d * src ) {
	EFApiTrace::mFuncName = "CVectorNormalize";
	const f32 inverse = 1.0f / MathLength( *src );
	dst->Set( src->x * inverse, src->y * inverse, src->z * inverse );
	EFApiTrace::mFuncName = nullptr;
	return dst;
}

DTVector3d * MathVectorScale( DTVector3d * dst, DTVector3d * src, const f32 s ) {
	EFApiTrace::mFuncName = "CVectorScale";
	dst->Set( src->x * s, src->y * s, src->z * s );
	EFApiTrace::mFuncName = nullptr;
	return dst;
}

// e is a signed exponent passed in an unsigned word.
u8 MathVectorAreEqualEpsilon( DTVector3d * a, DTVector3d * b, const u32 e ) {
	return a->IsEqualEpsilon( *b, static_cast<s32>( e ) ) ? 1 : 0;
}

f32 MathVectorGetAngleTo( DTVector3d * a, DTVector3d * b ) {
	return a->GetAngleTo( *b );
}

DTVector3d * MathVectorProjectOnto( DTVector3d * dst, DTVector3d * v, DTVector3d * onto ) {
	const f32 factor = v->DotProduct( *onto ) / onto->DotProduct( *onto );
	dst->Set( onto->x * factor, onto->y * factor, onto->z * factor );
	return dst;
}

// n = a x b is not normalised: a and b are expected to be orthonormal.
DTVector3d * MathVectorProjectOntoPlane( DTVector3d * dst, DTVector3d * v, DTVector3d * a, DTVector3d * b ) {
	DTVector3d n;
	a->Cross( *b, &n );
	const f32 along = n.DotProduct( *v );
	dst->Set( v->x - n.x * along, v->y - n.y * along, v->z - n.z * along );
	return dst;
}

// The library's length; a zero distance gives a non-finite direction.
f32 MathVectorGetDirectionAndDistanceTo( DTVector3d * dir, DTVector3d * from, DTVector3d * to ) {
	DTVector3d difference( to->x - from->x, to->y - from->y, to->z - from->z );
	const f32 distance = RwV3dLength( DTAsRwV3d( &difference ) );
	const f32 inverse = 1.0f / distance;
	dir->Set( difference.x * inverse, difference.y * inverse, difference.z * inverse );
	return distance;
}

// --- Matrices ---

DTMatrix * MathMatGetWorkMatrix() {
	return DTMatrix::mpoWork;
}

// Other flag bits are kept.
void MathMatSetIdentity( DTMatrix * m ) {
	m->GetRight()->Set( 1.0f, 0.0f, 0.0f );
	m->GetUp()->Set( 0.0f, 1.0f, 0.0f );
	m->GetAt()->Set( 0.0f, 0.0f, 1.0f );
	m->GetPos()->Set( 0.0f, 0.0f, 0.0f );
	m->oMat.flags |= MATH_IDENTITY_FLAGS;
}

// Null while the library is not open.
DTMatrix * MathMatCreateIdentity() {
	return DTMatrix::CreateMatrix();
}

void MathMatDestroy( DTMatrix * m ) {
	if ( m != nullptr ) {
		m->Destroy();
	}
}

void MathMatGetPos( DTVector3d * out, DTMatrix * m ) {
	*out = *m->GetPos();
}

void MathMatGetAt( DTVector3d * out, DTMatrix * m ) {
	*out = *m->GetAt();
}

void MathMatGetUp( DTVector3d * out, DTMatrix * m ) {
	*out = *m->GetUp();
}

void MathMatGetRight( DTVector3d * out, DTMatrix * m ) {
	*out = *m->GetRight();
}

// A row set from outside makes the matrix a general one: flags 0.
void MathMatSetPos( DTMatrix * m, DTVector3d * v ) {
	*m->GetPos() = *v;
	m->oMat.flags = 0;
}

void MathMatSetAt( DTMatrix * m, DTVector3d * v ) {
	*m->GetAt() = *v;
	m->oMat.flags = 0;
}

void MathMatSetUp( DTMatrix * m, DTVector3d * v ) {
	*m->GetUp() = *v;
	m->oMat.flags = 0;
}

void MathMatSetRight( DTMatrix * m, DTVector3d * v ) {
	*m->GetRight() = *v;
	m->oMat.flags = 0;
}

// A full inversion: the source's flags are cleared first and stay 0.
void MathMatInvert( DTMatrix * dst, DTMatrix * src ) {
	src->oMat.flags = 0;
	RwMatrixInvert( DTAsRwMatrix( dst ), DTAsRwMatrix( src ) );
}

// out may be in: the input is copied first.
void MathMatTransformVector( DTVector3d * out, DTVector3d * in, DTMatrix * m ) {
	const DTVector3d source = *in;
	RwV3dTransformVectors( DTAsRwV3d( out ), DTAsRwV3d( &source ), 1, DTAsRwMatrix( m ) );
}

void MathMatTransformPoint( DTVector3d * out, DTVector3d * in, DTMatrix * m ) {
	const DTVector3d source = *in;
	RwV3dTransformPoints( DTAsRwV3d( out ), DTAsRwV3d( &source ), 1, DTAsRwMatrix( m ) );
}

void MathMatMultiply( DTMatrix * dst, DTMatrix * a, DTMatrix * b ) {
	RwMatrixMultiply( DTAsRwMatrix( dst ), DTAsRwMatrix( a ), DTAsRwMatrix( b ) );
	dst->oMat.flags = 0;
}

// About the axis through the origin; the position stays.
void MathMatRotate( DTMatrix * m, DTVector3d * axis, const f32 angle ) {
	m->Rotate( *axis, angle );
	m->oMat.flags = 0;
}

// Combined after the matrix, so the position scales too.
void MathMatUniformScale( DTMatrix * m, const f32 s ) {
	const RwV3d scale = { s, s, s };
	RwMatrixScale( DTAsRwMatrix( m ), &scale, rwCOMBINEPOSTCONCAT );
	m->oMat.flags = 0;
}

void MathMatAlignAtWith( DTMatrix * m, DTVector3d * target ) {
	LogicApiAlignRowWith( m, m->GetAt(), *target );
}

void MathMatAlignUpWith( DTMatrix * m, DTVector3d * target ) {
	LogicApiAlignRowWith( m, m->GetUp(), *target );
}

void MathMatLookAtAlignUp( DTMatrix * m, DTVector3d * at, DTVector3d * up ) {
	LogicApiLookAtAlignUp( m, *at, *up );
}

void MathMatLookUpAlignAt( DTMatrix * m, DTVector3d * up, DTVector3d * at ) {
	LogicApiLookUpAlignAt( m, *up, *at );
}

// The source comes first; all 16 words, flags included.
void MathMatCopy( DTMatrix * src, DTMatrix * dst ) {
	std::memcpy( dst, src, sizeof( DTMatrix ) );
}

void MathMatCopyFromArray( f32 * array, DTMatrix * m ) {
	std::memcpy( m, array, sizeof( DTMatrix ) );
}

}

void ApiMathNotInit() {
	bDone = true;
}

bool ApiMathNotInitDone() {
	return bDone;
}

constexpr _api_math APImathStubs = MakeLogicApiStubs<_api_math, ApiMathNotInit>();
constinit _api_math APImath = MakeLogicApiStubs<_api_math, ApiMathNotInit>();

void Init_math() {
	InitAPI( &APImath, LOGIC_API_MATH_SLOTS, &APImathStubs );
	APImath.acos = ::acosf;
	APImath.asin = ::asinf;
	APImath.atan = ::atanf;
	APImath.atan2 = ::atan2f;
	APImath.ceil = ::ceilf;
	APImath.cos = ::cosf;
	APImath.cosh = ::coshf;
	APImath.exp = ::expf;
	APImath.fabs = myfabs;
	APImath.floor = ::floorf;
	APImath.fmod = ::fmodf;
	APImath.frexp = ::frexpf;
	APImath.ldexp = ::ldexpf;
	APImath.log = ::logf;
	APImath.log10 = ::log10f;
	APImath.modf = ::modff;
	APImath.pow = ::powf;
	APImath.sin = ::sinf;
	APImath.sinh = ::sinhf;
	APImath.sqrt = ::sqrtf;
	APImath.tan = ::tanf;
	APImath.tanh = ::tanhf;

	APImath.CVectorSet = MathVectorSet;
	APImath.CVectorAdd = MathVectorAdd;
	APImath.CVectorSub = MathVectorSub;
	APImath.CVectorDot = MathVectorDot;
	APImath.CVectorCross = MathVectorCross;
	APImath.CVectorLength = MathVectorLength;
	APImath.CVectorNegate = MathVectorNegate;
	APImath.CVectorNormalize = MathVectorNormalize;
	APImath.CVectorScale = MathVectorScale;
	APImath.CVectorAreEqualEpsilon = MathVectorAreEqualEpsilon;
	APImath.CVectorGetAngleTo = MathVectorGetAngleTo;
	APImath.CVectorProjectOnto = MathVectorProjectOnto;
	APImath.CVectorProjectOntoPlane = MathVectorProjectOntoPlane;
	APImath.CVectorGetDirectionAndDistanceTo = MathVectorGetDirectionAndDistanceTo;
	APImath.CMatGetWorkMatrix = MathMatGetWorkMatrix;
	APImath.CMatSetIdentity = MathMatSetIdentity;
	APImath.CMatCreateIdentity = MathMatCreateIdentity;
	APImath.CMatDestroy = MathMatDestroy;
	APImath.CMatGetPos = MathMatGetPos;
	APImath.CMatGetAt = MathMatGetAt;
	APImath.CMatGetUp = MathMatGetUp;
	APImath.CMatGetRight = MathMatGetRight;
	APImath.CMatSetPos = MathMatSetPos;
	APImath.CMatSetAt = MathMatSetAt;
	APImath.CMatSetUp = MathMatSetUp;
	APImath.CMatSetRight = MathMatSetRight;
	APImath.CMatInvert = MathMatInvert;
	APImath.CMatTransformVector = MathMatTransformVector;
	APImath.CMatTransformPoint = MathMatTransformPoint;
	APImath.CMatMultiply = MathMatMultiply;
	APImath.CMatRotate = MathMatRotate;
	APImath.CMatUniformScale = MathMatUniformScale;
	APImath.CMatAlignAtWith = MathMatAlignAtWith;
	APImath.CMatAlignUpWith = MathMatAlignUpWith;
	APImath.CMatLookAtAlignUp = MathMatLookAtAlignUp;
	APImath.CMatLookUpAlignAt = MathMatLookUpAlignAt;
	APImath.CMatCopy = MathMatCopy;
	APImath.CMatCopyFromArray = MathMatCopyFromArray;
}

// Turns m so that the given row points along target: nothing when it
// already does, a half turn (the row and the right row negated) when it
// points the other way, else a rotation about their normalised cross
// product.
void LogicApiAlignRowWith( DTMatrix * m, DTVector3d * row, const DTVector3d & target ) {
	DTVector3d a = *row;
	a.Normalize();
	DTVector3d t = target;
	t.Normalize();
	const DTVector3d opposite( -t.x, -t.y, -t.z );
	const bool aligned = a.IsEqualEpsilon( t, MATH_ALIGN_EXPONENT );
	if ( !aligned && a.IsEqualEpsilon( opposite, MATH_ALIGN_EXPONENT ) ) {
		row->Set( -row->x, -row->y, -row->z );
		DTVector3d * const right = m->GetRight();
		right->Set( -right->x, -right->y, -right->z );
	} else if ( !aligned ) {
		DTVector3d axis;
		a.Cross( t, &axis );
		axis.Normalize();
		m->Rotate( axis, a.GetAngleTo( t ) );
	}
	m->oMat.flags = 0;
}

// The first vector is taken as given, not normalised; the position stays.
void LogicApiLookAtAlignUp( DTMatrix * m, const DTVector3d & at, const DTVector3d & up ) {
	const DTVector3d atRow = at;
	DTVector3d right;
	up.Cross( atRow, &right );
	right.Normalize();
	DTVector3d upRow;
	atRow.Cross( right, &upRow );
	upRow.Normalize();
	*m->GetAt() = atRow;
	*m->GetRight() = right;
	*m->GetUp() = upRow;
	m->oMat.flags = 0;
}

void LogicApiLookUpAlignAt( DTMatrix * m, const DTVector3d & up, const DTVector3d & at ) {
	const DTVector3d upRow = up;
	DTVector3d right;
	upRow.Cross( at, &right );
	right.Normalize();
	DTVector3d atRow;
	right.Cross( upRow, &atRow );
	atRow.Normalize();
	*m->GetUp() = upRow;
	*m->GetRight() = right;
	*m->GetAt() = atRow;
	m->oMat.flags = 0;
}
