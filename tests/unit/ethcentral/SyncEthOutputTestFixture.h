// Doubles shared by the Ethernet port, SyncE output and output feature tests: a concrete port, a
// port factory, a concrete output feature that supplies its output factory on activation (as the
// daemon's own feature does), and a recorder of raised events.
#ifndef SYNC_TEST_SYNCETHOUTPUTTESTFIXTURE_H
#define SYNC_TEST_SYNCETHOUTPUTTESTFIXTURE_H

#include <algorithm>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "EventLog.h"
#include "eventHandling/DomainEntityFactory.h"
#include "eventHandling/Listener.h"
#include "model/output/SyncEthOutput.h"
#include "model/output/SyncEthOutputFactory.h"
#include "model/output/SyncEthOutputFeature.h"
#include "model/port/EthernetPort.h"
#include "utilities/coli_common.h"

namespace Sync {
namespace Test {

using EthCentral::EthernetPort;
using EthCentral::SyncEthOutput;
using EthCentral::SyncEthOutputFeature;

class TestEthernetPort : public EthernetPort {
  public:
    TestEthernetPort(IDomainEntityFactory* factory, uint32_t id) : EthernetPort(factory, id) {}
    void activate() override {}
    void deactivate() override {}
    void print() override {}

    // Ready for the data plane: an interface name and a known namespace.
    void makeInitiated(const std::string& interfaceName = "eth0") {
        updateEthernetConfiguration("00:11:22:33:44:55", interfaceName, getLdn(), 7, 0);
        updateNetworkNamespace("ns1");
    }
};

// A port whose ldn is its transport-network port name, as the daemon's fronthaul ports answer.
class TnportNamedEthernetPort : public TestEthernetPort {
  public:
    using TestEthernetPort::TestEthernetPort;
    const std::string& getLdn() const override { return getTnportName(); }
};

template <class Port>
class PortFactory : public DomainEntityFactory {
  public:
    PortFactory() : DomainEntityFactory(2, 65535) {}

    Port* createPort(const std::string& ldn) {
        auto* port = static_cast<Port*>(create(kAnyEntityId, 0));
        port->init(ldn);
        add(port);
        return port;
    }

  protected:
    DomainEntity* createEntity(uint32_t entityId, uint32_t) override { return new Port(this, entityId); }
};

class FeatureFactory : public DomainEntityFactory {
  public:
    FeatureFactory() : DomainEntityFactory(1, 1) {}

  protected:
    DomainEntity* createEntity(uint32_t, uint32_t) override { return nullptr; }
};

class TestOutputFeature : public SyncEthOutputFeature {
  public:
    using SyncEthOutputFeature::SyncEthOutputFeature;
    void activate() override { syncEthOutputFactory_.reset(new SyncEthOutputFactory(65535)); }
    void deactivate() override {}
};

// The lines a printout writes through the command output function.
inline std::vector<std::string> printed(const std::function<void()>& print) {
    coli_common_reset();
    print();
    std::vector<std::string> lines;
    std::istringstream text(coli_common_get_display());
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    coli_common_reset();
    return lines;
}

// Every raise of the output events, in order, as "EVENT_NAME(id)" with the id of the output that
// raised it.
class OutputEventRecorder : public EventLog {
  public:
    OutputEventRecorder() {
        const auto outputId = [](PolymorphEvent& event) {
            auto* output = dynamic_cast<SyncEthOutput*>(event.getSource());
            return std::to_string(output != nullptr ? output->getEntityId() : 0);
        };
        listen<SyncEthOutput::SYNCETHOUTPUT_CONFIGURED_EVENT>(outputId);
        listen<SyncEthOutput::SYNCETHOUTPUT_DELETED_EVENT>(outputId);
        listen<SyncEthOutput::SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT>(outputId);
        listen<SyncEthOutput::SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT>(outputId);
    }

    size_t count(const std::string& name) const {
        return std::count_if(names.begin(), names.end(),
                             [&name](const std::string& event) { return event.rfind(name + "(", 0) == 0; });
    }
};

// The names of the output events, as recorded.
constexpr const char* CONFIGURED = "SYNCETHOUTPUT_CONFIGURED_EVENT";
constexpr const char* DELETED = "SYNCETHOUTPUT_DELETED_EVENT";
constexpr const char* TRANSMIT = "SYNCETHOUTPUT_TRANSMIT_SSM_IND_EVENT";
constexpr const char* ESMC = "SYNCETHOUTPUT_ESMC_CONTROL_IND_EVENT";

// A feature (entity id 1, activated by its factory) and ports to bind outputs to.
template <class Port = TestEthernetPort>
struct OutputModel {
    OutputModel() { featureFactory.add(feature); }
    // The feature goes before the ports its outputs are bound to.
    ~OutputModel() { featureFactory.destroy(1); }

    Port* addPort(const std::string& ldn) { return ports.createPort(ldn); }
    SyncEthOutput* addOutput(Port* port) {
        return feature->findSyncEthOutput(feature->createSyncEthOutput(port));
    }

    // REC created and one output per port, ports named port-1..port-n.
    std::vector<SyncEthOutput*> withOutputs(int n) {
        feature->updateRecCreate();
        std::vector<SyncEthOutput*> outputs;
        for (int i = 1; i <= n; ++i) {
            outputs.push_back(addOutput(addPort("port-" + std::to_string(i))));
        }
        return outputs;
    }

    PortFactory<Port> ports;
    FeatureFactory featureFactory;
    TestOutputFeature* feature = new TestOutputFeature(&featureFactory, 1);
};

// "EVENT_NAME:id" for each output, in order.
inline std::vector<std::string> eventsOn(const std::string& name,
                                         const std::vector<SyncEthOutput*>& outputs) {
    std::vector<std::string> events;
    for (SyncEthOutput* output : outputs) {
        events.push_back(name + "(" + std::to_string(output->getEntityId()) + ")");
    }
    return events;
}

}  // namespace Test
}  // namespace Sync

#endif
