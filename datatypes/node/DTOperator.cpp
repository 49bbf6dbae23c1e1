#include "datatypes/node/DTOperator.h"

#include "datatypes/maths/DTLimits.h"

DTOperator::DTOperator( const OPNodeType_e type ) : mpOutputList( nullptr ), meType( type ), mfTimeToLive( DT_MAX_FLOAT ) {
}

DTOperator::~DTOperator() {
}

f32 DTOperator::Update( f32, DTWorkMemory * ) {
	return 0.0f;
}

DTOperator * DTOperator::TimeOut( f32 * ) {
	return nullptr;
}
